// pivotwizard: a window that holds the PivotTable wizard.
#include "hostwindow.h"

#include "platform/core/failure.h"
#include "sheet/host/hostapplication.h"
#include "wizard/cube/serverprovider.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("pivotwizard"));
    // No display name: window systems append it to every window title, and
    // the wizard's titles ("PivotTable Wizard (Step 2 of 7)") already name it.
    QApplication::setApplicationVersion(QStringLiteral(PIVOTWIZARD_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Leads you in seven steps from an OLAP cube to a PivotTable report.\n"
        "The window closes when the wizard ends: after Finish built the report and it was saved\n"
        "(or you chose to discard it; a report is never dropped without asking), or on Cancel\n"
        "(which leaves every file as it was). The cube of the last report and the folder it was\n"
        "saved in are offered again next time.\n"
        "Settings live in the file named by PIVOTWIZARD_SETTINGS, else in\n"
        "$XDG_CONFIG_HOME/pivotwizard/settings.db (~/.config/pivotwizard/settings.db)."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption store(QStringList{QStringLiteral("s"), QStringLiteral("store")},
                                   QStringLiteral("The application store folder whose cubes the wizard offers "
                                                  "(default: the bundled sample store, %1).")
                                       .arg(QStringLiteral(PIVOTWIZARD_SAMPLE_STORE)),
                                   QStringLiteral("folder"), QStringLiteral(PIVOTWIZARD_SAMPLE_STORE));
    parser.addOption(store);
    const QCommandLineOption workbook(QStringList{QStringLiteral("w"), QStringLiteral("workbook")},
                                      QStringLiteral("The workbook (.xlsx) the report goes into; without it the "
                                                     "wizard works on a new workbook."),
                                      QStringLiteral("file"));
    parser.addOption(workbook);
    const QCommandLineOption output(QStringList{QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("Save the finished report as this file (.xlsx), and say so on the "
                                                   "terminal. Without it the report is saved into the workbook "
                                                   "given with --workbook, or a file you choose."),
                                    QStringLiteral("file"));
    parser.addOption(output);
    parser.process(app);

    const QString folder = parser.value(store);
    if (!QDir(folder).exists()) {
        qCritical("pivotwizard: the store folder %s does not exist", qPrintable(folder));
        return 2;
    }
    // Cubes on servers: the provider ahead of the local-file one, logins from the settings.
    installServerProvider();
    const std::shared_ptr<sheet::Application> spreadsheet = sheet::createApplication();
    if (parser.isSet(workbook)) {
        try {
            spreadsheet->Workbooks()->Open(parser.value(workbook).toStdString());
        } catch (const platform::Failure& failure) {
            qCritical("pivotwizard: %s", failure.description().c_str());
            return 2;
        }
    }
    HostWindow window(folder, spreadsheet);
    window.setOutputFile(parser.value(output));
    window.show();
    window.begin();
    const int status = app.exec();
    return status != 0 ? status : window.exitCode();
}

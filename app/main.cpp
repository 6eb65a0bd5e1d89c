// pivotwizard: a window that holds the PivotTable wizard.
#include "hostwindow.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("pivotwizard"));
    QApplication::setApplicationDisplayName(QStringLiteral("PivotTable Wizard"));
    QApplication::setApplicationVersion(QStringLiteral(PIVOTWIZARD_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Leads you in seven steps from an OLAP cube to a PivotTable report.\n"
        "The window closes when the wizard ends: after Finish built the report, or on Cancel.\n"
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
    parser.process(app);

    const QString folder = parser.value(store);
    if (!QDir(folder).exists()) {
        qCritical("pivotwizard: the store folder %s does not exist", qPrintable(folder));
        return 2;
    }
    HostWindow window(folder);
    window.show();
    window.begin();
    return app.exec();
}

#include "hostdialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

namespace {

class QtHostDialogs final : public HostDialogs {
public:
    QString chooseSaveFile(QWidget* parent, const QString& suggested) override
    {
        QString file = QFileDialog::getSaveFileName(parent, QStringLiteral("Save the PivotTable report"), suggested,
                                                    QStringLiteral("Workbooks (*.xlsx)"));
        if (!file.isEmpty() && QFileInfo(file).suffix().isEmpty())
            file += QStringLiteral(".xlsx");
        return file;
    }

    UnsavedAnswer askUnsaved(QWidget* parent, const QString& text) override
    {
        QMessageBox box(QMessageBox::Question, QStringLiteral("Report not saved"), text, QMessageBox::NoButton,
                        parent);
        box.setInformativeText(QStringLiteral("Save it now, or discard it?"));
        QPushButton* save = box.addButton(QStringLiteral("&Save..."), QMessageBox::AcceptRole);
        QPushButton* discard = box.addButton(QStringLiteral("&Discard"), QMessageBox::DestructiveRole);
        // Escape and the close box keep the report: losing it takes a click.
        box.setEscapeButton(box.addButton(QMessageBox::Cancel));
        box.setDefaultButton(save);
        box.exec();
        if (box.clickedButton() == save)
            return UnsavedAnswer::Save;
        if (box.clickedButton() == discard)
            return UnsavedAnswer::Discard;
        return UnsavedAnswer::Keep;
    }
};

std::unique_ptr<HostDialogs>& current()
{
    static std::unique_ptr<HostDialogs> service = std::make_unique<QtHostDialogs>();
    return service;
}

}  // namespace

HostDialogs& hostDialogs() { return *current(); }

std::unique_ptr<HostDialogs> installHostDialogs(std::unique_ptr<HostDialogs> service)
{
    Q_ASSERT(service);
    std::swap(current(), service);
    return service;
}

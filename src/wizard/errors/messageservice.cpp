#include "wizard/errors/messageservice.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

namespace {

class QtMessageService final : public MessageService {
public:
    void showMessage(const QString& text, const QString& title, MessageIcon icon) override
    {
        QMessageBox box(toQtIcon(icon),
                        title.isEmpty() ? QApplication::applicationDisplayName() : title,
                        toDisplayText(text), QMessageBox::Ok);
        keepTitleWhole(box);
        // The wizard sits inside a host window; its refusals must never hide
        // behind it, so the box is application-modal, on top and raised.
        box.setWindowModality(Qt::ApplicationModal);
        box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
        box.show();
        box.raise();
        box.activateWindow();
        box.exec();
    }

private:
    // A box with a short text is narrow, and its title bar cuts the title:
    // a spacer across the box's grid keeps room for the title beside the
    // window's icon and buttons.
    static void keepTitleWhole(QMessageBox& box)
    {
        auto* grid = qobject_cast<QGridLayout*>(box.layout());
        if (!grid)
            return;
        const int width = QFontMetrics(QApplication::font("QMdiSubWindowTitleBar")).horizontalAdvance(box.windowTitle()) + 140;
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                      grid->columnCount());
    }

    static QMessageBox::Icon toQtIcon(MessageIcon icon)
    {
        switch (icon) {
        case MessageIcon::Exclamation: return QMessageBox::Warning;
        case MessageIcon::Stop: return QMessageBox::Critical;
        case MessageIcon::Information: return QMessageBox::Information;
        case MessageIcon::None: break;
        }
        return QMessageBox::NoIcon;
    }
};

std::unique_ptr<MessageService>& current()
{
    static std::unique_ptr<MessageService> service = std::make_unique<QtMessageService>();
    return service;
}

}  // namespace

MessageService& messages() { return *current(); }

std::unique_ptr<MessageService> installMessageService(std::unique_ptr<MessageService> service)
{
    Q_ASSERT(service);
    std::swap(current(), service);
    return service;
}

QString toDisplayText(const QString& text)
{
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

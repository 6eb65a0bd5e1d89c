#include "wizard/errors/messageservice.h"

#include <QApplication>
#include <QMessageBox>

namespace {

class QtMessageService final : public MessageService {
public:
    void showMessage(const QString& text, const QString& title, MessageIcon icon) override
    {
        QMessageBox box(toQtIcon(icon),
                        title.isEmpty() ? QApplication::applicationDisplayName() : title,
                        toDisplayText(text), QMessageBox::Ok);
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

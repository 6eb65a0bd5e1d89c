// Every message box of the wizard and its forms goes through one service, so
// that the product shows real boxes and tests can read what would be shown.
#pragma once

#include <QString>

#include <memory>

enum class MessageIcon { None, Exclamation, Stop, Information };

class MessageService {
public:
    virtual ~MessageService() = default;
    // Shows `text` with one OK button and returns when the user dismissed it.
    // Texts break lines with a single carriage return (CR), paragraphs with two.
    // An empty title means the application's default title.
    virtual void showMessage(const QString& text, const QString& title, MessageIcon icon) = 0;
};

// The process-wide service. Until one is installed it is the Qt one: a
// modal box that stays on top of other windows and is raised.
MessageService& messages();

// Replaces the process-wide service and hands back the previous one.
// Requires: `service` is not null; called on the user-interface thread.
std::unique_ptr<MessageService> installMessageService(std::unique_ptr<MessageService> service);

// The text as widgets show it: CR, CR LF and LF all become line breaks.
QString toDisplayText(const QString& text);

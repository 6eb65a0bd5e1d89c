// A message service for tests: records every box instead of showing it.
#pragma once

#include "wizard/errors/messageservice.h"

#include <QString>

#include <memory>
#include <vector>

struct RecordedMessage {
    QString text;
    QString title;
    MessageIcon icon;
};

// Installs itself as the process-wide service for its lifetime and puts the
// previous service back when destroyed.
class RecordingMessages {
public:
    RecordingMessages();
    ~RecordingMessages();
    RecordingMessages(const RecordingMessages&) = delete;
    RecordingMessages& operator=(const RecordingMessages&) = delete;

    const std::vector<RecordedMessage>& shown() const { return *mShown; }
    // The only message shown; fails the test when there was not exactly one.
    RecordedMessage single() const;
    void clear() { mShown->clear(); }

private:
    std::shared_ptr<std::vector<RecordedMessage>> mShown;
    std::unique_ptr<MessageService> mPrevious;
};

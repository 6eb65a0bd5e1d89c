// A message service for tests: records every box instead of showing it.
#pragma once

#include "wizard/errors/messageservice.h"

#include <QString>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <vector>

struct RecordedMessage {
    QString text;
    QString title;
    MessageIcon icon;
    bool operator==(const RecordedMessage&) const = default;
};
inline void PrintTo(const RecordedMessage& shown, std::ostream* out)
{
    *out << '"' << shown.text.toStdString() << "\" titled \"" << shown.title.toStdString() << "\" icon " << int(shown.icon);
}

// Installs itself as the process-wide service for its lifetime and puts the
// previous service back when destroyed.
class RecordingMessages {
public:
    RecordingMessages() : mPrevious(installMessageService(std::make_unique<Recorder>(mShown))) {}
    ~RecordingMessages() { installMessageService(std::move(mPrevious)); }

    const std::vector<RecordedMessage>& shown() const { return mShown; }
    // The only message shown; fails the test when there was not exactly one.
    RecordedMessage single() const
    {
        EXPECT_EQ(mShown.size(), 1u);
        return mShown.empty() ? RecordedMessage{} : mShown.back();
    }
    void clear() { mShown.clear(); }

private:
    // Lives while installed, which ends before the recording does.
    struct Recorder final : MessageService {
        explicit Recorder(std::vector<RecordedMessage>& shown) : shown(shown) {}
        void showMessage(const QString& text, const QString& title, MessageIcon icon) override
        {
            shown.push_back({text, title, icon});
        }
        std::vector<RecordedMessage>& shown;
    };

    std::vector<RecordedMessage> mShown;
    std::unique_ptr<MessageService> mPrevious;
};

#include "recordingmessages.h"

#include <gtest/gtest.h>

namespace {
class Recorder final : public MessageService {
public:
    explicit Recorder(std::shared_ptr<std::vector<RecordedMessage>> shown) : mShown(std::move(shown)) {}
    void showMessage(const QString& text, const QString& title, MessageIcon icon) override
    {
        mShown->push_back({text, title, icon});
    }

private:
    std::shared_ptr<std::vector<RecordedMessage>> mShown;
};
}  // namespace

RecordingMessages::RecordingMessages()
    : mShown(std::make_shared<std::vector<RecordedMessage>>()),
      mPrevious(installMessageService(std::make_unique<Recorder>(mShown)))
{
}

RecordingMessages::~RecordingMessages() { installMessageService(std::move(mPrevious)); }

RecordedMessage RecordingMessages::single() const
{
    EXPECT_EQ(mShown->size(), 1u);
    return mShown->empty() ? RecordedMessage{} : mShown->back();
}

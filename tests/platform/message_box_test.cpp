#include <gtest/gtest.h>

#include "platform/message_box.h"

namespace {

TEST(MessageBox, RecorderSeesEveryBoxAndAnswersQuestions) {
    platform::MessageBoxRecorder recorder(platform::MessageAnswer::No);
    EXPECT_EQ(platform::ShowMessageBox("Velaset", "Le voci non possono essere vuote.",
                                       platform::MessageIcon::Exclamation),
              platform::MessageAnswer::Ok);
    EXPECT_EQ(platform::ShowMessageBox("Velaset", "Vuoi eliminare la voce selezionata?",
                                       platform::MessageIcon::Question,
                                       platform::MessageButtons::YesNo),
              platform::MessageAnswer::No);
    ASSERT_EQ(recorder.Calls().size(), 2u);
    EXPECT_EQ(recorder.Calls()[0].text, "Le voci non possono essere vuote.");
    EXPECT_EQ(recorder.Calls()[1].icon, platform::MessageIcon::Question);
}

TEST(MessageBox, RecordersNestAndRestoreTheOuterOne) {
    platform::MessageBoxRecorder outer;
    {
        platform::MessageBoxRecorder inner;
        platform::ShowMessageBox("Velaset", "dentro", platform::MessageIcon::Stop);
        EXPECT_EQ(inner.Calls().size(), 1u);
    }
    platform::ShowMessageBox("Velaset", "fuori", platform::MessageIcon::Stop);
    ASSERT_EQ(outer.Calls().size(), 1u);
    EXPECT_EQ(outer.Calls()[0].text, "fuori");
}

TEST(MessageBox, StandardErrorTakesTheDefaultAnswer) {
    platform::MessageBoxCall question{"Velaset", "Sicuro?\r\nDavvero?",
                                      platform::MessageIcon::Question,
                                      platform::MessageButtons::YesNo};
    testing::internal::CaptureStderr();
    EXPECT_EQ(platform::MessageBoxToStandardError(question), platform::MessageAnswer::Yes);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Velaset: Sicuro? Davvero?\n");
}

} // namespace

#include <gtest/gtest.h>

#include "platform/message_box.h"

namespace {

using platform::MessageAnswer, platform::MessageIcon;

TEST(MessageBox, RecordersSeeEveryBoxAnswerQuestionsAndNest) {
    platform::MessageBoxRecorder outer(MessageAnswer::No);
    {
        platform::MessageBoxRecorder inner;
        platform::ShowMessageBox("Velaset", "dentro", MessageIcon::Stop);
        EXPECT_EQ(inner.Calls().size(), 1u);
    }
    EXPECT_EQ(platform::ShowMessageBox("Velaset", "Le voci non possono essere vuote.",
                                       MessageIcon::Exclamation),
              MessageAnswer::Ok);
    EXPECT_EQ(platform::ShowMessageBox("Velaset", "Vuoi eliminare la voce selezionata?",
                                       MessageIcon::Question, platform::MessageButtons::YesNo),
              MessageAnswer::No);
    ASSERT_EQ(outer.Calls().size(), 2u);
    EXPECT_EQ(outer.Calls()[0].text, "Le voci non possono essere vuote.");
    EXPECT_EQ(outer.Calls()[1].icon, MessageIcon::Question);
}

TEST(MessageBox, StandardErrorTakesTheDefaultAnswer) {
    platform::MessageBoxCall question{"Velaset", "Sicuro?\r\nDavvero?", MessageIcon::Question,
                                      platform::MessageButtons::YesNo};
    testing::internal::CaptureStderr();
    EXPECT_EQ(platform::MessageBoxToStandardError(question), MessageAnswer::Yes);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Velaset: Sicuro? Davvero?\n");
}

} // namespace

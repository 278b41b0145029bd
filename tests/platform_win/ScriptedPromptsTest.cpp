#include "platform/win/ScriptedPrompts.h"

#include <gtest/gtest.h>

namespace {

TEST(ScriptedPrompts, AnswersFromItsQueueThenCancelsAndRestoresThePrevious) {
    {
        win::ScopedPrompts prompts;
        prompts->messageAnswers = {win::IDRETRY};
        prompts->shiftAnswers = {true};
        EXPECT_EQ(win::MessageBox(nullptr, "ディスク", "Marisole", win::Buttons::RetryCancel), win::IDRETRY);
        EXPECT_EQ(win::MessageBox(nullptr, "ディスク", "Marisole", win::Buttons::RetryCancel), win::IDCANCEL);
        EXPECT_TRUE(win::Prompts().IsShiftDown());
        EXPECT_FALSE(win::Prompts().IsShiftDown());
        EXPECT_EQ(prompts->MessageTexts(), (std::vector<std::string>{"ディスク", "ディスク"}));
        EXPECT_EQ(prompts->shiftQueries, 2);
    }
    // The silent default is back: nothing is recorded, OK boxes answer OK.
    EXPECT_EQ(win::MessageBox(nullptr, "x"), win::IDOK);
    EXPECT_FALSE(win::Prompts().ChooseOpenFile({}).has_value());
}

}  // namespace

#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <deque>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "calculator/calculator.h"
#include "calculator/keys.h"
#include "calculator/custom_datum.h"
#include "fake_view.h"

namespace velmora::calc::testing {

// Answers the dialog's input boxes from a script; an exhausted script answers Cancel.
class ScriptedPrompts : public UserPrompts {
public:
    struct Question {
        std::string title;
        std::string prompt;
        std::string defaultReply;
    };
    struct Message {
        std::string title;
        std::string text;
    };

    std::string InputBox(std::string_view title, std::string_view prompt,
                         std::string_view defaultReply) override {
        questions.push_back({std::string(title), std::string(prompt), std::string(defaultReply)});
        if (replies.empty()) return {};
        std::string reply = replies.front();
        replies.pop_front();
        return reply;
    }
    void CriticalMessage(std::string_view title, std::string_view text) override {
        messages.push_back({std::string(title), std::string(text)});
    }

    std::deque<std::string> replies;
    std::vector<Question> questions;
    std::vector<Message> messages;
};

// A freshly started calculator, as the window leaves it after its start-up.
class EngineTest : public ::testing::Test {
protected:
    explicit EngineTest(UserLocale locale = {}) : calc(view, prompts, std::move(locale)) {
        calc.StartUp();
        calc.FinishStartUp();
    }

    void keys(std::initializer_list<int> indices) {
        for (const int index : indices) calc.Lab_Num_Click(static_cast<std::int16_t>(index));
    }
    void selector(std::initializer_list<int> indices) {
        for (const int index : indices) calc.Lab_Sel_Click(static_cast<std::int16_t>(index));
    }
    // Types text through the keyboard handler, one UTF-8 character at a time (the degree
    // mark arrives as code 176).
    void type(std::string_view text) {
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text.substr(i, 2) == kDegreeMark) {
                calc.Form_KeyPress(176);
                ++i;
            } else {
                calc.Form_KeyPress(static_cast<unsigned char>(text[i]));
            }
        }
    }
    // Selects field key, hemisphere key, types the coordinate and presses Enter.
    void enter(int fieldKey, int hemisphereKey, std::string_view coordinate) {
        selector({fieldKey, hemisphereKey});
        type(coordinate);
        calc.Lab_Num_Click(kKeyEnter);
    }
    const std::string& lastLine() const { return calc.history().back(); }
    const std::string& display() const { return calc.displayText(); }
    const CalculatorState& state() const { return calc.state(); }

    FakeView view;
    ScriptedPrompts prompts;
    Calculator calc;
};

}  // namespace velmora::calc::testing

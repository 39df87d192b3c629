// A recording stand-in for the run-time: every call the handlers make is
// written to a log, in order, and the form's state is kept in a real model
// of the stored layout, so a bad control reference fails as it would live.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "chooser/frm_auto_select.h"
#include "chooser/layout.h"
#include "forms/errors.h"
#include "forms/form.h"
#include "forms/runtime.h"
#include "form_checks.h"
#include "product.h"

// Thrown by End(): the process would be gone, so nothing after it may run.
struct EndCalled {};

class FakeRuntime : public forms::Runtime {
public:
    FakeRuntime() : model_(chooser::kFrmAutoSelect) {}

    // What the fake answers.
    bool prevInstance = false;
    std::wstring appPath = L"E:\\Menu";
    float width = 11970, height = 8970;
    float screenWidth = 15360, screenHeight = 11520;  // 1024 x 768 at 15 twips a pixel
    float scaleWidth = 11880, scaleHeight = 8595;
    float tileWidth = 1035, tileHeight = 1035;
    forms::OsVersion version;
    std::function<forms::StartResult(const std::wstring&)> onShell = [](const std::wstring&) {
        return forms::StartResult::Started;
    };
    std::function<void()> onDoEvents = [] {};
    std::function<void()> onScaleRead = [] {};  // after each read of the form's inner size

    // What the handlers did.
    std::vector<std::string> log;
    std::vector<std::wstring> started;
    std::vector<std::wstring> startedIn;  // the folder of each start
    std::vector<std::wstring> captions;
    std::vector<std::pair<float, float>> tiles;      // where each was drawn
    std::vector<std::pair<float, float>> tileSizes;  // and at what size
    float left = -1, top = -1;

    bool Visible(const char* name, std::int16_t index) const { return model_.Visible(model_.Find(name, index)); }
    const forms::FormModel& Model() const { return model_; }

    bool PrevInstance() override;
    std::wstring AppPath() override;
    void MsgBox(const std::wstring& prompt, int style) override;
    [[noreturn]] void End() override;
    void DoEvents() override;
    forms::StartResult Shell(const std::wstring& path, int windowStyle, const std::wstring& folder) override;
    void Unload() override;
    forms::NativeHandle hWnd() override;
    float Width() override;
    float Height() override;
    void SetLeft(float twips) override;
    void SetTop(float twips) override;
    float ScreenWidth() override;
    float ScreenHeight() override;
    void SetVisible(forms::ControlRef control, bool visible) override;
    void SetKeyboardChoice(forms::ControlRef control) override;
    forms::ControlRef KeyboardChoice() override { return choice_; }
    void SetCaption(forms::ControlRef control, const std::wstring& caption) override;
    float ScaleWidth() override;
    float ScaleHeight() override;
    float ScaleWidth(forms::ControlRef pictureBox) override;
    float ScaleHeight(forms::ControlRef pictureBox) override;
    void PaintPicture(forms::ControlRef owner, float x, float y, float width, float height) override;
    forms::NativeHandle GetSystemMenu(forms::NativeHandle window, int revert) override;
    int RemoveMenu(forms::NativeHandle menu, unsigned position, unsigned flags) override;
    forms::OsVersion GetVersionExA() override;

private:
    std::string Name(forms::ControlRef c) const;
    forms::FormModel model_;
    forms::ControlRef choice_;
};

std::string Narrow(const std::wstring& s);

// The setup a language starts from the fake's menu folder, and how the fake logs its start.
std::wstring SetupFromMenu(const product::Language& l);
std::string ShellOf(const product::Language& l);

// The chooser window over a fresh recording run-time: where most handler tests start.
class ChooserTest : public ::testing::Test {
protected:
    FakeRuntime rt;
    chooser::FrmAutoSelect frm{rt};
};


#include "fake_runtime.h"

std::string Narrow(const std::wstring& s) {
    std::string out;
    for (wchar_t c : s) out += c < 128 ? static_cast<char>(c) : '?';
    return out;
}

std::wstring SetupFromMenu(const product::Language& l) {
    return FakeRuntime().appPath + L"\\" + l.folder + L"\\" + l.program;
}

std::string ShellOf(const product::Language& l) { return "Shell " + Narrow(SetupFromMenu(l)) + " 1"; }

std::string FakeRuntime::Name(forms::ControlRef c) const {
    return forms::ControlName(model_.Control(c.id).name, model_.Control(c.id).index);
}

bool FakeRuntime::PrevInstance() {
    log.push_back("PrevInstance");
    return prevInstance;
}

std::wstring FakeRuntime::AppPath() {
    log.push_back("AppPath");
    return appPath;
}

void FakeRuntime::MsgBox(const std::wstring& prompt, int style) {
    log.push_back("MsgBox " + Narrow(prompt) + " " + std::to_string(style));
}

void FakeRuntime::End() {
    log.push_back("End");
    throw EndCalled{};
}

void FakeRuntime::DoEvents() {
    log.push_back("DoEvents");
    onDoEvents();
}

forms::StartResult FakeRuntime::Shell(const std::wstring& path, int windowStyle, const std::wstring& folder) {
    log.push_back("Shell " + Narrow(path) + " " + std::to_string(windowStyle));
    started.push_back(path);
    startedIn.push_back(folder);
    return onShell(path);
}

void FakeRuntime::Unload() { log.push_back("Unload"); }

forms::NativeHandle FakeRuntime::hWnd() {
    log.push_back("hWnd");
    return 0x1234;
}

float FakeRuntime::Width() {
    log.push_back("Width");
    return width;
}

float FakeRuntime::Height() {
    log.push_back("Height");
    return height;
}

void FakeRuntime::SetLeft(float twips) {
    log.push_back("SetLeft");
    left = twips;
}

void FakeRuntime::SetTop(float twips) {
    log.push_back("SetTop");
    top = twips;
}

float FakeRuntime::ScreenWidth() {
    log.push_back("ScreenWidth");
    return screenWidth;
}

float FakeRuntime::ScreenHeight() {
    log.push_back("ScreenHeight");
    return screenHeight;
}

void FakeRuntime::SetVisible(forms::ControlRef control, bool visible) {
    log.push_back((visible ? "Show " : "Hide ") + Name(control));
    model_.SetVisible(control.id, visible);
}

void FakeRuntime::SetKeyboardChoice(forms::ControlRef control) {
    log.push_back("Choose " + (control.id == forms::kFormItself ? std::string("none") : Name(control)));
    choice_ = control;
}

void FakeRuntime::SetCaption(forms::ControlRef control, const std::wstring& caption) {
    log.push_back("Caption " + Name(control));
    model_.SetCaption(control.id, caption);
    captions.push_back(caption);
}

float FakeRuntime::ScaleWidth() {
    log.push_back("ScaleWidth");
    const float value = scaleWidth;
    onScaleRead();
    return value;
}

float FakeRuntime::ScaleHeight() {
    log.push_back("ScaleHeight");
    const float value = scaleHeight;
    onScaleRead();
    return value;
}

float FakeRuntime::ScaleWidth(forms::ControlRef c) {
    log.push_back("ScaleWidth " + Name(c));
    return tileWidth;
}

float FakeRuntime::ScaleHeight(forms::ControlRef c) {
    log.push_back("ScaleHeight " + Name(c));
    return tileHeight;
}

void FakeRuntime::PaintPicture(forms::ControlRef owner, float x, float y, float w, float h) {
    log.push_back("PaintPicture " + Name(owner));
    tiles.emplace_back(x, y);
    tileSizes.emplace_back(w, h);
}

forms::NativeHandle FakeRuntime::GetSystemMenu(forms::NativeHandle window, int revert) {
    log.push_back("GetSystemMenu " + std::to_string(window) + " " + std::to_string(revert));
    return 0x99;
}

int FakeRuntime::RemoveMenu(forms::NativeHandle menu, unsigned position, unsigned flags) {
    log.push_back("RemoveMenu " + std::to_string(menu) + " " + std::to_string(position) + " " +
                  std::to_string(flags));
    return 1;
}

forms::OsVersion FakeRuntime::GetVersionExA() {
    log.push_back("GetVersionExA");
    return version;
}

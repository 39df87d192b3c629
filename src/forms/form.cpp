#include "forms/form.h"

#include "forms/errors.h"

namespace forms {

std::string ControlName(std::string_view name, std::int16_t index) {
    std::string text(name);
    if (index != kNoIndex) text += "(" + std::to_string(index) + ")";
    return text;
}

namespace {
// `named`: the name exists, as an array without that member.
[[noreturn]] void NoSuchControl(std::string_view name, std::int16_t index, bool named) {
    const std::string what = ControlName(name, index);
    throw RuntimeError{named ? kNoSuchArrayMember : kInvalidCall,
                       L"No such control: " + std::wstring(what.begin(), what.end()), {}, {}};
}
}  // namespace

ControlRef FindControl(const FormSpec& layout, std::string_view name) {
    for (ControlId id = 0; id < static_cast<ControlId>(layout.controls.size()); ++id) {
        if (name == layout.controls[id].name && layout.controls[id].index == kNoIndex) return {id};
    }
    NoSuchControl(name, kNoIndex, false);
}

ControlArray::ControlArray(const FormSpec& layout, std::string_view name) : name_(name) {
    for (ControlId id = 0; id < static_cast<ControlId>(layout.controls.size()); ++id) {
        if (name == layout.controls[id].name) members_.emplace_back(layout.controls[id].index, id);
    }
}

ControlRef ControlArray::operator()(std::int16_t index) const {
    for (const auto& [member, id] : members_) {
        if (member == index) return {id};
    }
    NoSuchControl(name_, index, !members_.empty());
}

FormModel::FormModel(const FormSpec& layout) : spec_(layout) {
    state_.reserve(layout.controls.size());
    for (const ControlSpec& c : layout.controls) state_.push_back({c.visible, c.caption ? c.caption : L""});
}

ControlId FormModel::Find(std::string_view name, std::int16_t index) const {
    bool named = false;
    for (ControlId id = 0; id < Count(); ++id) {
        const ControlSpec& c = Control(id);
        if (name != c.name) continue;
        named = true;
        if (c.index == index) return id;
    }
    NoSuchControl(name, index, named);
}

bool FormModel::SetVisible(ControlId id, bool visible) {
    if (state_[id].visible == visible) return false;
    state_[id].visible = visible;
    return true;
}

bool FormModel::SetCaption(ControlId id, std::wstring caption) {
    if (state_[id].caption == caption) return false;
    state_[id].caption = std::move(caption);
    return true;
}

ControlId FormModel::HitTest(float x, float y) const {
    // Child windows lie in front of everything the form draws.
    for (bool children : {true, false}) {
        for (ControlId id = Count() - 1; id >= 0; --id) {
            const ControlSpec& c = Control(id);
            if (IsChildWindow(c.kind) == children && state_[id].visible && c.rect.Contains(x, y)) return id;
        }
    }
    return kFormItself;
}

std::vector<ControlId> FormModel::DrawOrder(const TwipRect& area) const {
    std::vector<ControlId> order;
    for (ControlId id = 0; id < Count(); ++id) {
        const ControlSpec& c = Control(id);
        if (!IsChildWindow(c.kind) && state_[id].visible && c.rect.Intersects(area)) order.push_back(id);
    }
    return order;
}

ControlId PointerRouter::Press(const FormModel& m, int button, float x, float y) {
    held_ &= ~button;  // recorded as held already: its release was missed
    if (held_ == 0) captured_ = m.HitTest(x, y);
    held_ |= button;
    return captured_;
}

ControlId PointerRouter::Move(const FormModel& m, float x, float y) const {
    return held_ ? captured_ : m.HitTest(x, y);
}

PointerRouter::Release PointerRouter::Up(int button) {
    if ((held_ & button) == 0) return {false, kFormItself, held_ == 0};
    held_ &= ~button;
    return {true, captured_, held_ == 0};
}

MouseArgs Form::Args(ControlId id, int button, int shift, float x, float y) const {
    // Handlers get positions relative to the receiving control.
    if (id != kFormItself) {
        x -= model_.Control(id).rect.left;
        y -= model_.Control(id).rect.top;
    }
    return {static_cast<std::int16_t>(button), static_cast<std::int16_t>(shift), x, y};
}

bool Form::ButtonDown(int button, int held, int shift, float x, float y) {
    router_.Follow(held | button);
    if (pressesHeld_) {
        router_.Reset();  // nor is its release routed, nor one of the press before the prompt
        return false;
    }
    const ControlId id = router_.Press(model_, button, x, y);
    sink_.MouseDown(id, Args(id, button, shift, x, y));
    return router_.Captured();
}

bool Form::ButtonUp(int button, int held, int shift, float x, float y) {
    router_.Follow(held | button);
    const PointerRouter::Release r = router_.Up(button);
    if (!r.routed) return router_.Captured();
    sink_.MouseUp(r.target, Args(r.target, button, shift, x, y));
    // A click is a press and a release of the last button on the same control.
    if (r.last && r.target != kFormItself && model_.Visible(r.target) &&
        model_.Control(r.target).rect.Contains(x, y)) {
        Click(r.target);
    }
    return router_.Captured();
}

bool Form::PointerMove(int held, int shift, float x, float y) {
    router_.Follow(held);
    const ControlId id = router_.Move(model_, x, y);
    sink_.MouseMove(id, Args(id, held, shift, x, y));
    return router_.Captured();
}

void Form::Click(ControlId control) {
    if (!pressesHeld_) sink_.Click(control);
}

bool Form::KeyDown(ControlId control, std::int16_t key, std::int16_t shift) {
    return pressesHeld_ || sink_.KeyDown(control, key, shift);
}

const ControlSpec* Form::PointerOwner(float x, float y) const {
    const ControlId id = router_.Move(model_, x, y);
    if (id == kFormItself) return nullptr;
    const ControlSpec& c = model_.Control(id);
    return c.pointer == MousePointer::Custom ? &c : nullptr;
}

}  // namespace forms

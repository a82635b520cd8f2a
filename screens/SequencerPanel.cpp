#include "screens/SequencerPanel.h"

#include <algorithm>
#include <array>

#include "ui/ImageStrip.h"

namespace screens {

namespace {

constexpr int LIST_ROWS = 6;
constexpr std::array<std::uint16_t, 4> LIST_COLUMNS{25, 50, 30, 50};
// The list's caption is kept but not drawn: above the list it would run into "12 String".
constexpr std::uint16_t QUIET = ui::FLAG_VISIBLE | ui::FLAG_CAPTION;
constexpr std::uint16_t TO_WINDOW = QUIET | ui::FLAG_NOTIFY;

int NextLength(int length) {
    switch (length) {
        case 4:
            return 8;
        case 8:
            return 16;
        case 16:
            return 2;
        case 2:
            return 4;
        default:
            return length;
    }
}

}  // namespace

std::string SequenceRowText(const theory::SequenceStep& step, theory::Spelling spelling) {
    std::string text;
    if (step.root < theory::NoteNames.size())
        text =
            theory::SpelledNames(spelling, theory::ChordKey(step.root, step.chordType))[step.root];
    text += '|';
    if (step.chordType < theory::ChordTypes.size())
        text += theory::ChordTypes[step.chordType].shortName;
    std::string number = std::to_string(step.inversion + 1);
    text += '|' + std::string(number.size() < 2 ? 1 : 0, '0') + number + '|';
    return text + theory::LengthText(step.length);
}

UIArpegiatorInhterface::UIArpegiatorInhterface(theory::Sequence& steps, SequencerHost& owner)
    : sequence(steps), host(owner) {}

void UIArpegiatorInhterface::Build(const SequencerFaces& faces) {
    ClearChildren();
    list.SetCapacity(theory::MAX_SEQUENCE_STEPS);
    list.SetFont(faces.font);
    list.SetColumns(static_cast<int>(LIST_COLUMNS.size()), LIST_COLUMNS);
    list.SetRect(5, 20, 175, list.HeightFor(LIST_ROWS));
    list.SetScrollFaces(faces.arrows);
    list.SetCaption(ID_SEQUENCE_LIST, "Sequence", ui::CAPTION_ABOVE_LEFT);
    list.SetFlags(ui::FLAG_VISIBLE);
    AddChild(&list);

    auto button = [&](ui::UIButton& b, std::uint16_t id, const char* caption, int top,
                      std::uint16_t flags) {
        b.SetRect(185, top, 50, 20);
        b.SetFaces(faces.buttons, 0);
        b.SetButtonState(0);
        b.SetCaption(id, caption, ui::CAPTION_INSIDE);
        b.SetFlags(flags);
        AddChild(&b);
    };
    button(play, ID_SEQUENCE_PLAY, "Play", 20, TO_WINDOW);
    button(stop, ID_SEQUENCE_STOP, "Stop", 43, TO_WINDOW);
    button(add, ID_SEQUENCE_ADD, "Add", 66, QUIET);
    button(remove, ID_SEQUENCE_DELETE, "Delete", 89, QUIET);
    button(length, ID_SEQUENCE_LENGTH, "Length", 112, QUIET);

    auto checkBox = [&](ui::UIButton& b, std::uint16_t id, const char* caption, int left) {
        b.SetRect(left, 0, 15, 15);
        b.SetFaces(faces.checks, 1);
        b.SetButtonState(ui::BUTTON_TOGGLE);
        b.SetCaption(id, caption, ui::CAPTION_RIGHT);
        b.SetFlags(QUIET);
        AddChild(&b);
    };
    checkBox(twelveString, ID_TWELVE_STRING, "12 String", 5);
    checkBox(alternatePicking, ID_ALTERNATE_PICKING, "Alternate Picking", 80);
    Rebuild(0);
}

void UIArpegiatorInhterface::Rebuild(int row) {
    list.RemoveAll();
    int count = std::clamp(sequence.count, 0, theory::MAX_SEQUENCE_STEPS);
    for (int i = 0; i < count; ++i)
        list.AddItem(SequenceRowText(sequence.steps[i], spelling));
    list.scroll.SetFlags(count > LIST_ROWS ? ui::FLAG_VISIBLE : 0);
    list.Layout();
    list.Select(count > 0 ? row : -1);
}

void UIArpegiatorInhterface::ShowPlaying(bool on) {
    if (on)
        play.SetState(ui::BUTTON_CHECKED);
    else
        play.ClearState(ui::BUTTON_CHECKED);
}

ui::LResult UIArpegiatorInhterface::HandleEvent(std::uint32_t msg, ui::WParam wParam,
                                                ui::LParam lParam) {
    if (msg == platform::MSG_COMMAND) {
        switch (platform::CommandId(wParam)) {
            case ID_SEQUENCE_LIST:
                // A double tap loads the selected row again.
                if (platform::CommandCode(wParam) == ui::LIST_SELECTED ||
                    platform::CommandCode(wParam) == ui::LIST_ACTIVATED)
                    LoadSelectedStep();
                break;
            case ID_SEQUENCE_ADD:
                Add();
                break;
            case ID_SEQUENCE_DELETE:
                Delete();
                break;
            case ID_SEQUENCE_LENGTH:
                CycleLength();
                break;
            case ID_TWELVE_STRING:
                host.SetDoubleOctave(twelveString.Checked());
                break;
            case ID_ALTERNATE_PICKING:
                ToggleAlternatePicking();
                break;
            default:
                break;
        }
    }
    return DispatchToChildren(msg, wParam, lParam);
}

void UIArpegiatorInhterface::Add() {
    if (sequence.count < 0 || sequence.count >= theory::MAX_SEQUENCE_STEPS) return;
    std::optional<theory::SequenceStep> step = host.CurrentStep();
    if (!step) return;
    sequence.steps[sequence.count] = *step;
    ++sequence.count;
    Rebuild(sequence.count - 1);
    host.SequenceChanged();
}

void UIArpegiatorInhterface::Delete() {
    int row = list.Selection();
    if (sequence.count <= 0 || row < 0 || row >= sequence.count) return;
    std::copy(sequence.steps.begin() + row + 1, sequence.steps.begin() + sequence.count,
              sequence.steps.begin() + row);
    --sequence.count;
    Rebuild(row);
    host.SequenceChanged();
}

void UIArpegiatorInhterface::CycleLength() {
    int row = list.Selection();
    if (row < 0 || row >= sequence.count) return;
    theory::SequenceStep& step = sequence.steps[row];
    step.length = static_cast<std::uint8_t>(NextLength(step.length));
    Rebuild(row);
    host.SequenceChanged();
}

void UIArpegiatorInhterface::LoadSelectedStep() {
    int row = list.Selection();
    if (row >= 0 && row < sequence.count) host.LoadStep(sequence.steps[row]);
}

void UIArpegiatorInhterface::ToggleAlternatePicking() {
    host.SetStyle(alternate ? 1 : 0);
    alternate = !alternate;
}

}  // namespace screens

// What keys, taps and commands do on the main screen.

#include <algorithm>
#include <sstream>
#include <vector>

#include "app/MyGame.h"
#include "gfx/Vector.h"
#include "platform/Clock.h"
#include "platform/SafeFile.h"
#include "screens/GroupsScreen.h"
#include "screens/GuitarScreen.h"
#include "screens/HelpPages.h"
#include "screens/MessageBox.h"
#include "theory/ChordSearch.h"
#include "theory/CurrentTuning.h"
#include "theory/TheoryTables.h"

namespace app {

namespace {

// The Root item each letter selects; with Shift, the sharp above it.
int RootForLetter(std::uint32_t key, bool shift) {
    static constexpr int naturals[] = {9, 11, 0, 2, 4, 5, 7};  // A..G
    int root = naturals[key - 'A'];
    bool hasSharp = key != 'B' && key != 'E';
    return shift && hasSharp ? root + 1 : root;
}

bool IsStylus(std::uint32_t msg) {
    return msg >= platform::MSG_MOUSEMOVE && msg <= platform::MSG_RBUTTONUP;
}

// Input that must not run while a fret-board tap is held, but must not be lost either.
bool IsHeldBack(std::uint32_t msg) {
    return (msg >= platform::MSG_KEYDOWN && msg <= platform::MSG_CHAR) ||
           msg == platform::MSG_COMMAND ||
           (msg >= platform::MSG_USER && msg <= platform::MSG_USER_LAST);
}

std::string Escaped(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            // Marked-up texts break lines with '\r'.
            static constexpr char hex[] = "0123456789abcdef";
            out += "\\u00";
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

platform::LResult MyGame::HandleMessage(std::uint32_t msg, platform::WParam wParam,
                                        platform::LParam lParam) {
    using namespace platform;
    bool captured = mainDesktop.capture != nullptr;
    mainDesktop.HandleEvent(msg, wParam, lParam);
    switch (msg) {
        case MSG_KEYDOWN:
            HandleKey(static_cast<std::uint32_t>(wParam));
            break;
        case MSG_CHAR:
            HandleChar(static_cast<char>(wParam));
            break;
        case MSG_LBUTTONDOWN:
            if (!captured && mode == MODE_GUITAR) TapFretBoard(PointX(lParam), PointY(lParam));
            if (!captured && mode == MODE_SCALES) TapScaleBoard(PointX(lParam), PointY(lParam));
            break;
        case MSG_COMMAND:
            HandleCommand(CommandId(wParam));
            break;
        default:
            break;
    }
    return 0;
}

void MyGame::HandleKey(std::uint32_t key) {
    bool ctrl = hWnd->IsKeyDown(platform::KEY_CONTROL),
         shift = hWnd->IsKeyDown(platform::KEY_SHIFT);
    if (key >= '0' && key <= '9') {
        int digit = static_cast<int>(key - '0');
        if (ctrl) player.PluckString(3, digit);
        inversionList.list.Select(digit);
        PublishShape();
        screenDirty = 1;
    } else if (key >= 'A' && key <= 'G') {
        rootList.list.Select(RootForLetter(key, shift));
        chordList.list.Select(ctrl ? theory::CHORD_MINOR : theory::CHORD_MAJOR);
        FindVoicings();
    } else if (key == 'P' || key == 'Q' || key == 'R') {
        player.style = static_cast<std::int32_t>(key - 'P');
    } else if (key == 'S') {
        player.playing = 0;
        // In Chord Groups the button and the now-playing box follow.
        if (mode == MODE_GROUPS) {
            strumButton.SetCaption(StrumCaption());
            screenDirty = 1;
        }
    } else if (key == 'X') {
        FindVoicings();
    } else if (key == 'N') {
        // Sharps, flats, the key's own spelling, and round again.
        SetSpelling(static_cast<theory::Spelling>((static_cast<int>(spelling) + 1) % 3));
    }
}

// Keys without a key code of their own arrive as the characters they type, whatever the
// keyboard's layout.
void MyGame::HandleChar(char c) {
    bool shapesShown = mode == MODE_GUITAR || mode == MODE_SEQUENCER || mode == MODE_GROUPS;
    if ((c == ']' || c == '[') && shapesShown)
        SetCapo(
            std::clamp(theory::CurrentTuning().capo + (c == ']' ? 1 : -1), 0, theory::MAX_CAPO));
}

bool MyGame::SetCapo(int capo) {
    if (!theory::SetCapo(capo)) return false;
    RefreshStringCaptions();
    FindVoicings();
    return true;
}

void MyGame::HandleCommand(std::uint32_t id) {
    switch (id) {
        case ID_ROOT:
        case ID_CHORD:
            FindVoicings();
            break;
        case ID_TUNING:
        case ID_LEFT_HANDED:
            theory::SetTuning(tuningList.list.Selection(), leftHanded.Checked());
            RefreshStringCaptions();
            FindVoicings();
            break;
        case ID_INVERSION:
            PublishShape();
            screenDirty = 1;
            break;
        case ID_SCALE:
            screenDirty = 1;
            break;
        case ID_SPLIT_CHORDS:
            splitChords = allowSplitChords.Checked() ? 1 : 0;
            FindVoicings();
            break;
        case ID_HELP:
            if (screens::HelpPage page = screens::HelpFor(mode); !page.title.empty())
                lastMessage = ShownMessage{std::string(page.title), std::string(page.text)};
            screens::ShowHelp(screens::ModalContext{*display, *hWnd, Fonts()}, mode);
            screenDirty = 1;
            break;
        case ID_STRUM:
            if (mode == MODE_GROUPS) {
                Audition();
            } else {
                player.RequestStrum();
            }
            break;
        case ID_MORE:
            moreView = !moreView;
            SetMode(mode);
            break;
        case ID_MENU:
            ModeMenu();
            break;
        case ID_SEQUENCER_PLAY:
            player.Play();
            sequencerPanel.ShowPlaying(true);
            break;
        case ID_SEQUENCER_STOP:
            player.playing = 0;
            sequencerPanel.ShowPlaying(false);
            break;
        case ID_KEY:
            KeyChanged();
            break;
        case ID_TRIGGER:
            triggerLevel = 96 - trigger.Value();
            listener.triggerLevel = triggerLevel;
            detectionDirty = 1;
            break;
        case ID_DETECT:
            detectChords = !detectChords;
            listener.detectChords = detectChords != 0;
            detectButton.SetCaption(detectChords ? "Detect Chords" : "Detect Notes");
            break;
        case ID_NR:
            noiseReduction = !noiseReduction;
            nrButton.SetCaption(noiseReduction ? "NR: On" : "NR: Off");
            if (noiseReductionChanged) noiseReductionChanged(noiseReduction != 0);
            break;
        default:
            // The open string behind the capo, as its caption names it.
            if (id >= ID_STRING_FIRST && id <= ID_STRING_LAST)
                player.PluckString(static_cast<int>(id - ID_STRING_FIRST),
                                   theory::CurrentTuning().capo);
            break;
    }
}

void MyGame::Audition() {
    sequence = screens::AuditionSequence(keyList.list.Selection());
    SequenceReplaced(0);
    if (player.playing) {
        HandleCommand(ID_SEQUENCER_STOP);
    } else {
        player.step = 0;
        HandleCommand(ID_SEQUENCER_PLAY);
    }
    strumButton.SetCaption(StrumCaption());
    screenDirty = 1;
}

void MyGame::KeyChanged() {
    rootList.list.Select(keyList.list.Selection());
    if (player.playing) {
        HandleCommand(ID_SEQUENCER_STOP);
        strumButton.SetCaption(StrumCaption());
    }
    FindVoicings();
}

void MyGame::FindVoicings() {
    int root = rootList.list.Selection(), type = chordList.list.Selection();
    theory::FindVoicings(root, type, splitChords != 0, voicings);
    std::vector<std::string> items;
    theory::FillInversionList(voicings, root, items,
                              theory::SpelledNames(spelling, theory::ChordKey(root, type)));
    inversionList.list.RemoveAll();
    for (const std::string& item : items)
        inversionList.list.AddItem(item);
    inversionList.list.Select(items.empty() ? -1 : 0);
    PublishShape();
    screenDirty = 1;
}

void MyGame::PublishShape() {
    StrumShape shape;
    int selected = inversionList.list.Selection();
    if (selected >= 0 && selected < voicings.count) {
        shape.valid = true;
        shape.voicing = voicings.items[selected];
    }
    shape.TakeTuning(theory::CurrentTuning());
    player.Publish(shape);
}

void MyGame::RefreshStringCaptions() {
    theory::StringTuning strings = theory::CurrentTuning().Capoed();
    for (int k = 0; k < 6; ++k)
        stringButtons[k].SetCaption(theory::LoneNoteName(strings[k], spelling));
}

void MyGame::RelabelList(ui::UICombo& combo, std::span<const std::string> items) {
    int selected = combo.list.Selection();
    combo.list.RemoveAll();
    for (const std::string& item : items)
        combo.list.AddItem(item);
    combo.list.Select(selected);
}

void MyGame::SetSpelling(theory::Spelling newSpelling) {
    spelling = newSpelling;
    listener.spelling = newSpelling;
    std::vector<std::string> roots, keys, shapes;
    for (theory::PitchClass p = 0; p < theory::PITCH_CLASS_COUNT; ++p) {
        roots.emplace_back(theory::LoneNoteName(p, spelling));
        keys.push_back(theory::KeyListName(p, spelling));
    }
    RelabelList(rootList, roots);
    RelabelList(keyList, keys);
    const screens::ChordView view = CurrentView();
    theory::FillInversionList(voicings, view.root, shapes, view.Names());
    RelabelList(inversionList, shapes);
    RefreshStringCaptions();
    sequencerPanel.spelling = spelling;
    sequencerPanel.Rebuild(sequencerPanel.SelectedRow());
    screenDirty = 1;
    if (mode == MODE_DETECTION) {
        detectionDirty = 1;
        DrawDetection(true);
    }
}

screens::ChordView MyGame::CurrentView() const {
    screens::ChordView view;
    view.root = std::max(rootList.list.Selection(), 0);
    view.chordType = std::max(chordList.list.Selection(), 0);
    view.tuning = theory::CurrentTuning();
    int selected = inversionList.list.Selection();
    if (selected >= 0 && selected < voicings.count) view.selected = voicings.items[selected];
    view.mode = mode;
    view.spelling = spelling;
    return view;
}

screens::ScaleView MyGame::CurrentScaleView() const {
    return {CurrentView(), std::max(scaleList.list.Selection(), 0)};
}

void MyGame::TapFretBoard(int x, int y) {
    screens::ChordView view = CurrentView();
    auto tap = screens::GuitarFretTap(view, x, y);
    if (!tap) return;
    theory::PitchClass note = theory::NoteAt(view.tuning.strings, tap->string, tap->fret);
    std::function<void(gfx::Surface&)> dot;
    if (view.Notes().Contains(note))
        dot = [&](gfx::Surface& s) { screens::DrawGuitarTapDot(s, Fonts(), view, *tap); };
    PluckWithDot(*tap, dot);
}

void MyGame::TapScaleBoard(int x, int y) {
    if (moreView) return;
    screens::ScaleView view = CurrentScaleView();
    auto tap = screens::ScaleFretTap(view, x, y);
    if (!tap) return;
    theory::PitchClass note = theory::NoteAt(view.chord.tuning.strings, tap->string, tap->fret);
    std::function<void(gfx::Surface&)> dot;
    if (view.Notes().Contains(note))
        dot = [&](gfx::Surface& s) { screens::DrawScaleTapDot(s, Fonts(), view, *tap); };
    PluckWithDot(*tap, dot);
}

void MyGame::PluckWithDot(const screens::FretTap& tap,
                          const std::function<void(gfx::Surface&)>& drawDot) {
    bool dot = drawDot && display->Lock();
    // The dot goes up first, so that it appears with the sound, not after the note.
    if (dot) {
        drawDot(*display->BackBuffer());
        display->UnlockAndPresent(0);
    }
    player.PluckString(tap.string, tap.fret);
    if (!dot) return;
    WaitForStylusUp();
    screenDirty = 1;
}

// The held stylus belongs to the board: other stylus input is dropped, and keys and commands
// wait until the lift, so nothing runs in the middle of the tap. Timers, painting and window
// messages go on.
void MyGame::WaitForStylusUp() {
    std::vector<platform::Msg> heldBack;
    bool lifted = false;
    while (!lifted) {
        platform::Msg msg;
        while (hWnd->Peek(msg)) {
            if (msg.message == platform::MSG_QUIT) {
                hWnd->PostQuit(0);
                return;
            }
            if (msg.message == platform::MSG_LBUTTONUP) {
                lifted = true;
                break;
            }
            if (IsHeldBack(msg.message)) {
                heldBack.push_back(msg);
            } else if (!IsStylus(msg.message)) {
                hWnd->Dispatch(msg);
            }
        }
        if (!lifted) hWnd->Wait(platform::INFINITE_WAIT);
    }
    for (const platform::Msg& msg : heldBack)
        hWnd->Post(msg.message, msg.wParam, msg.lParam);
}

void MyGame::SequenceReplaced(int row) {
    sequencerPanel.Rebuild(row);
    player.SetSequence(sequence);
    screenDirty = 1;
}

void MyGame::SequenceChanged() {
    player.SetSequence(sequence);
    screenDirty = 1;
}

std::optional<theory::SequenceStep> MyGame::CurrentStep() const {
    int selected = inversionList.list.Selection();
    if (selected < 0 || selected >= voicings.count) return std::nullopt;
    theory::SequenceStep step;
    step.root = static_cast<std::uint8_t>(rootList.list.Selection());
    step.chordType = static_cast<std::uint8_t>(chordList.list.Selection());
    step.inversion = static_cast<std::uint8_t>(selected);
    step.length = 4;
    step.split = splitChords ? 1 : 0;
    const theory::Frets& frets = voicings.items[selected].frets;
    std::copy(frets.begin(), frets.end(), step.frets.begin());
    return step;
}

void MyGame::LoadStep(const theory::SequenceStep& step) {
    ShowStep(step.root, step.chordType, step.split != 0, step.inversion);
}

void MyGame::ShowStep(int root, int chordType, bool split, int inversion) {
    rootList.list.Select(root);
    chordList.list.Select(chordType);
    splitChords = split ? 1 : 0;
    if (split)
        allowSplitChords.SetState(ui::BUTTON_CHECKED);
    else
        allowSplitChords.ClearState(ui::BUTTON_CHECKED);
    FindVoicings();
    if (inversionList.list.Count() > 0) inversionList.list.Select(inversion);
    PublishShape();
}

int MyGame::ShowMessage(std::string_view title, std::string_view text) {
    lastMessage = ShownMessage{std::string(title), std::string(text)};
    return screens::ShowMessage(screens::ModalContext{*display, *hWnd, Fonts()}, title, text);
}

std::string MyGame::SequenceJson() const {
    std::ostringstream j;
    j << "{\"count\": " << sequence.count << ", \"steps\": [";
    for (int i = 0; i < std::clamp(sequence.count, 0, theory::MAX_SEQUENCE_STEPS); ++i) {
        const theory::SequenceStep& s = sequence.steps[i];
        j << (i ? ",\n" : "\n") << "    {\"root\": " << int(s.root)
          << ", \"chordType\": " << int(s.chordType) << ", \"inversion\": " << int(s.inversion)
          << ", \"length\": " << int(s.length) << ", \"split\": " << int(s.split)
          << ", \"frets\": [";
        for (int f = 0; f < theory::STRING_COUNT; ++f)
            j << (f ? ", " : "") << s.frets[f];
        j << "]}";
    }
    j << (sequence.count > 0 ? "\n  " : "") << "], \"rows\": [";
    for (int i = 0; i < sequencerPanel.list.Count(); ++i)
        j << (i ? ", " : "") << "\"" << Escaped(sequencerPanel.list.Item(i)->text) << "\"";
    j << "], \"selectedRow\": " << sequencerPanel.SelectedRow() << "}";
    return j.str();
}

std::string MyGame::StateJson() const {
    std::ostringstream j;
    auto flag = [](bool b) { return b ? "true" : "false"; };
    theory::TuningState tuning = theory::CurrentTuning();
    j << "{\n  \"mode\": " << mode << ",\n  \"moreView\": " << flag(moreView)
      << ",\n  \"root\": " << rootList.list.Selection()
      << ",\n  \"chordType\": " << chordList.list.Selection()
      << ",\n  \"scale\": " << scaleList.list.Selection() << ",\n  \"tuning\": " << tuning.index
      << ",\n  \"capo\": " << tuning.capo
      << ",\n  \"inversion\": " << inversionList.list.Selection()
      << ",\n  \"key\": " << keyList.list.Selection()
      << ",\n  \"leftHanded\": " << flag(tuning.leftHanded)
      << ",\n  \"splitChords\": " << flag(splitChords) << ",\n  \"triggerLevel\": " << triggerLevel
      << ",\n  \"spelling\": \"" << theory::SpellingName(spelling) << "\""
      << ",\n  \"a4\": " << a4 << ",\n  \"a4Sound\": " << flag(a4Sound) << ",\n  \"voicings\": [";
    for (int i = 0; i < voicings.count; ++i) {
        const theory::Voicing& v = voicings.items[i];
        const ui::ListItem* item = inversionList.list.Item(i);
        j << (i ? ",\n" : "\n") << "    {\"text\": \"" << Escaped(item ? item->text : "")
          << "\", \"frets\": [";
        for (int s = 0; s < 6; ++s)
            j << (s ? ", " : "") << int(v.frets[s]);
        j << "]}";
    }
    j << (voicings.count ? "\n  " : "")
      << "],\n  \"player\": {\"playing\": " << flag(player.playing)
      << ", \"strumRequest\": " << flag(player.strumRequest)
      << ", \"doubleOctave\": " << flag(player.doubleOctave) << ", \"style\": " << player.style
      << ", \"step\": " << player.step << "},\n  \"sequence\": " << SequenceJson()
      << ",\n  \"detection\": {\"detectChords\": " << flag(detectChords)
      << ", \"triggerLevel\": " << triggerLevel << ", \"nr\": " << flag(noiseReduction)
      << ", \"detected\": " << flag(detection.detected) << ", \"text\": \""
      << Escaped(detection.text) << "\", \"root\": " << (detection.detected ? detection.root : -1)
      << ", \"chordType\": " << (detection.detected ? detection.chordType : -1)
      << ", \"cents\": " << detection.cents << ", \"levels\": [";
    for (std::size_t p = 0; p < detection.pitchClassLevel.size(); ++p)
        j << (p ? ", " : "") << static_cast<int>(detection.pitchClassLevel[p]);
    j << "], \"highlight\": [";
    for (std::size_t h = 0; h < 3; ++h)
        j << (h ? ", " : "") << detection.highlight[h];
    j << "]},\n  \"message\": ";
    if (lastMessage) {
        j << "{\"title\": \"" << Escaped(lastMessage->title) << "\", \"text\": \""
          << Escaped(lastMessage->text) << "\"}";
    } else {
        j << "null";
    }
    j << ",\n  \"dialog\": ";
    if (openDialog.empty()) {
        j << "null";
    } else {
        j << "\"" << Escaped(openDialog) << "\"";
    }
    j << ",\n  \"visible\": {";
    bool first = true;
    for (const ui::TObject* w = mainDesktop.firstChild; w; w = w->next) {
        if (w->id == 0) continue;
        j << (first ? "" : ", ") << "\"" << w->id << "\": " << flag(w->Visible());
        first = false;
    }
    j << "}\n}\n";
    return j.str();
}

std::string MyGame::WriteState(const std::string& path) const {
    std::string json = StateJson();
    return platform::WriteFileSafely(
        path, {reinterpret_cast<const std::uint8_t*>(json.data()), json.size()});
}

}  // namespace app

#include "app/MyGame.h"

#include <algorithm>
#include <cstdio>

#include "app/CommandLine.h"
#include "gfx/Blit.h"
#include "gfx/Draw.h"
#include "gfx/Vector.h"
#include "platform/Clock.h"
#include "platform/Resources.h"
#include "platform/audio/HeadlessWaveOut.h"
#include "screens/GroupsScreen.h"
#include "screens/GuitarScreen.h"
#include "screens/MessageBox.h"
#include "screens/PianoScreen.h"
#include "theory/CurrentTuning.h"
#include "theory/TheoryTables.h"

namespace app {

namespace {

constexpr std::uint16_t VISIBLE_WIDGET =
    ui::FLAG_VISIBLE | ui::FLAG_CAPTION | ui::FLAG_NOTIFY;                   // 13
constexpr std::uint16_t HIDDEN_WIDGET = ui::FLAG_CAPTION | ui::FLAG_NOTIFY;  // 12
constexpr std::uint16_t COMBO_TEXT = 0x0000, COMBO_BACK = 0xFFFF, COMBO_FRAME = 0x84FB,
                        COMBO_THUMB = 0x84FB;
constexpr std::uint32_t TITLE_TIMER = 10;

}  // namespace

MyGame::MyGame() {
    title = VERSION_TEXT;
    framesPerSecond = 20;
    splashImage = 2;
    iconId = 119;
    displayMode = 2;
    orientation = 0;
    detectionSpectrum.fill(-96.0);
    noiseReductionChanged = [this](bool on) {
        if (on)
            listener.RequestNoiseCapture();
        else
            listener.ClearNoiseFloor();
    };
}

MyGame::~MyGame() = default;

int MyGame::OnCreate() {
    screenDirty = 1;
    platform::SetCurrentThreadPriority(platform::ThreadPriority::Highest);
    SetUpSound();
    for (int k = 0; k < 6; ++k) {
        if (!instruments[k]) return 0;
    }
    gfx::loadFont(largeFont, 2);
    gfx::loadFont(mediumFont, 4);
    gfx::loadFont(smallFont, 1);
    LoadPictures();
    return 1;
}

void MyGame::SetUpSound() {
    std::unique_ptr<platform::WaveOut> device;
    if (hInstance && hInstance->makeWaveOut) device = hInstance->makeWaveOut();
    if (!device || !mixer.Open(22050, false, 6, std::move(device))) {
        if (device || !mixer.LastError().empty())
            std::fprintf(stderr, "fretlore: %s; running without sound\n",
                         mixer.LastError().c_str());
        mixer.Open(22050, false, 6, std::make_unique<platform::NullWaveOut>());
    }
    theory::SetTuning(0, false);
    theory::SetCapo(0);
    ChordPlayer::Instruments strings{};
    std::string failures;
    for (int k = 1; k <= 6; ++k) {
        auto sampler = std::make_unique<sound::Sampler>();
        mixer.AttachInstrument(sampler.get(), static_cast<std::uint32_t>(k - 1));
        sound::ApplyStartupSettings(*sampler);
        std::string error =
            sound::LoadPatchFile(*sampler, ModulePathA(sound::StringPatchName(k - 1)));
        if (!error.empty()) {
            sound::ApplySynthesisedGuitar(*sampler);
            failures += (failures.empty() ? "" : "; ") + error;
        }
        sampler->SetConcertPitch(a4Sound ? a4 : 440);
        strings[k - 1] = sampler.get();
        instruments[k - 1] = std::move(sampler);
    }
    // One line for all six strings: a missing file is no error, but it should not go unnoticed.
    if (!failures.empty())
        std::fprintf(stderr, "fretlore: synthesised guitar instead of: %s\n", failures.c_str());
    player.SetInstruments(strings);
}

void MyGame::SetConcertPitch(int hz, bool sound) {
    if (!listener.SetConcertPitch(hz)) return;
    a4 = hz;
    a4Sound = sound;
    for (auto& instrument : instruments)
        if (instrument) instrument->SetConcertPitch(a4Sound ? a4 : 440);
}

void MyGame::LoadPictures() {
    background = gfx::loadImageResource(105, platform::RESOURCE_GIF);
    arrowFaces = ui::ImageStrip::FromBitmap(103, 2, 2);
    checkFaces = ui::ImageStrip::FromBitmap(104, 2, 2);
    faces50 = ui::ImageStrip::FramedFaces(106, 50, 20);
    faces30 = ui::ImageStrip::FramedFaces(106, 30, 20);
    faces95 = ui::ImageStrip::FramedFaces(106, 95, 20);
    thumbFaces = ui::ImageStrip::FromBitmap(120, 1, 1);
    pianoRoll = gfx::loadImageResource(107, platform::RESOURCE_BITMAP);
    largePianoRoll = gfx::loadImageResource(121, platform::RESOURCE_BITMAP);
}

void MyGame::BuildScreen() {
    mainDesktop.Attach(display.get(), hWnd);
    mainDesktop.SetFont(&mediumFont);
    const gfx::DisplayParams& p = display->Params();
    if (background && background->width != p.width)
        background = gfx::clone(*background, p.width, p.height);
    screenCache = gfx::createSurface(p.width, p.height);
    if (screenCache) gfx::clear(*screenCache, 0);
    AddWidgets();
    FindVoicings();
    screenDirty = 1;
    gfx::setApplicationMenuStyle(modeMenu, &mediumFont, &largeFont);
    gfx::setApplicationMenuStyle(diskMenu, &mediumFont, &largeFont);
    gfx::setApplicationMenuStyle(exitMenu, &mediumFont, &largeFont);
}

void MyGame::AddWidgets() {
    auto add = [this](ui::TObject& w, std::uint16_t flags) {
        w.SetFlags(flags);
        mainDesktop.AddChild(&w);
    };
    sequencerPanel.SetRect(0, 155, 240, 130);
    sequencerPanel.Build({&mediumFont, faces50.get(), checkFaces.get(), arrowFaces.get()});
    add(sequencerPanel, ui::FLAG_NOTIFY);

    auto combo = [&](ui::UICombo& c, std::uint16_t id, const char* caption, int x, int y, int w,
                     int rows, int capacity, auto&& items, bool visible) {
        c.Setup(x, y, w, rows, capacity, &mediumFont, arrowFaces.get());
        c.SetColours(COMBO_TEXT, COMBO_BACK, COMBO_FRAME, COMBO_THUMB);
        for (std::string_view item : items)
            c.list.AddItem(item);
        c.list.Select(0);
        c.SetCaption(id, caption, ui::CAPTION_ABOVE_LEFT);
        add(c, visible ? VISIBLE_WIDGET : HIDDEN_WIDGET);
    };
    std::vector<std::string_view> chordNames, scaleNames;
    std::vector<std::string> tuningNames;
    for (const auto& c : theory::ChordTypes)
        chordNames.push_back(c.shortName);
    for (int u = 0; u < theory::TuningCount(); ++u)
        tuningNames.push_back(theory::TuningRowAt(u).value_or(theory::TuningRow{}).name);
    for (const auto& s : theory::ScaleTypes)
        scaleNames.push_back(s.name);
    // The spelling may have been chosen before the screen was built.
    listener.spelling = spelling;
    sequencerPanel.spelling = spelling;
    combo(rootList, ID_ROOT, "Root", 5, 20, 40, 12, 16, theory::LoneNoteNames(spelling), true);
    combo(chordList, ID_CHORD, "Chord", 50, 20, 65, 8, 100, chordNames, true);
    combo(tuningList, ID_TUNING, "Tuning", 5, 55, 110, 8, 100, tuningNames, true);
    tuningList.list.Select(theory::CurrentTuning().index);
    combo(inversionList, ID_INVERSION, "Inversion", 5, 90, 110, 8, 36,
          std::array<std::string_view, 1>{"1"}, true);
    combo(scaleList, ID_SCALE, "Scale", 120, 20, 115, 8, 36, scaleNames, false);
    std::vector<std::string> keyNames;
    for (theory::PitchClass k = 0; k < theory::PITCH_CLASS_COUNT; ++k)
        keyNames.push_back(theory::KeyListName(k, spelling));
    combo(keyList, ID_KEY, "Key", 5, 20, 80, 12, 16, keyNames, false);

    auto checkBox = [&](ui::UIButton& b, std::uint16_t id, const char* caption, int y,
                        bool checked) {
        b.SetRect(5, y, 15, 15);
        b.SetFaces(checkFaces.get(), 1);
        b.SetButtonState(ui::BUTTON_TOGGLE | (checked ? ui::BUTTON_CHECKED : 0));
        b.SetCaption(id, caption, ui::CAPTION_RIGHT);
        add(b, VISIBLE_WIDGET);
    };
    checkBox(leftHanded, ID_LEFT_HANDED, "Left Handed", 115, theory::CurrentTuning().leftHanded);
    checkBox(allowSplitChords, ID_SPLIT_CHORDS, "Allow Split Chords", 135, splitChords != 0);

    auto button = [&](ui::UIButton& b, std::uint16_t id, std::string_view caption, int x, int y,
                      int w, const ui::ImageStrip* faces, bool visible) {
        b.SetRect(x, y, w, 20);
        b.SetFaces(faces, 0);
        b.SetButtonState(0);
        b.SetCaption(id, caption, ui::CAPTION_INSIDE);
        add(b, visible ? VISIBLE_WIDGET : HIDDEN_WIDGET);
    };
    button(detectButton, ID_DETECT, detectChords ? "Detect Chords" : "Detect Notes", 135, 5, 95,
           faces95.get(), false);
    button(nrButton, ID_NR, noiseReduction ? "NR: On" : "NR: Off", 135, 30, 95, faces95.get(),
           false);
    button(helpButton, ID_HELP, "Help", 5, 297, 50, faces50.get(), true);
    button(strumButton, ID_STRUM, "Strum", 65, 297, 50, faces50.get(), true);
    button(moreButton, ID_MORE, "More", 125, 297, 50, faces50.get(), true);
    button(menuButton, ID_MENU, "Menu", 185, 297, 50, faces50.get(), true);

    trigger.SetRect(200, 53, 20, 103);
    trigger.SetRange(0, 96 + 8, 8);
    trigger.SetPosition(96 - triggerLevel);
    trigger.SetThumbFaces(thumbFaces.get());
    trigger.SetBarStyle(ui::BAR_GRIP | ui::BAR_TICKS_BEFORE | ui::BAR_TICKS_AFTER);
    trigger.gripColour = 0x3AAE;
    trigger.thumbColour = 0xBE7F;
    trigger.shadeColour = 0x6218;
    trigger.dragColour = 0xADFD;
    trigger.SetCaption(ID_TRIGGER, "Trigger", ui::CAPTION_BELOW);
    add(trigger, HIDDEN_WIDGET);

    theory::StringTuning strings = theory::CurrentTuning().Capoed();
    for (int k = 0; k < 6; ++k) {
        button(stringButtons[k], static_cast<std::uint16_t>(ID_STRING_FIRST + k),
               theory::LoneNoteName(strings[k], spelling), 18 + 35 * k, 272, 30, faces30.get(),
               false);
    }
}

int MyGame::Frame() {
    if (!display || !display->Lock()) return 1;
    gfx::Surface& back = *display->BackBuffer();
    TakePlayingStep();
    // However playback ended (Stop, S, a strum, a plucked string), Play comes up again.
    sequencerPanel.ShowPlaying(player.playing != 0);
    if (screenCache) {
        if (screenDirty && mode < MODE_DETECTION) {
            DrawStaticScreen();
            screenDirty = 0;
        }
        // Every frame: it draws only when a new detection or setting came in.
        if (mode == MODE_DETECTION) {
            TakeDetection();
            DrawDetection(false);
        }
        gfx::copyInto(back, *screenCache);
    }
    mainDesktop.Draw(back);
    display->UnlockAndPresent(0);
    return 1;
}

void MyGame::DrawStaticScreen() {
    gfx::Surface& cache = *screenCache;
    if (background) {
        gfx::copyInto(cache, *background);
    } else {
        gfx::clear(cache, 0xDEFB);
    }
    gfx::attachSurface(cache);
    screens::ChordView view = CurrentView();
    screens::Fonts fonts = Fonts();
    if (mode == MODE_GUITAR) screens::DrawFretBoard(cache, fonts, view);
    if (mode == MODE_PIANO) screens::DrawPianoChords(cache, fonts, view, pianoRoll.get());
    const screens::ScaleView scale = CurrentScaleView();
    if (mode == MODE_SCALES && !moreView) screens::DrawScaleFretBoard(cache, fonts, scale);
    if (mode == MODE_SCALES && moreView)
        screens::DrawScalePiano(cache, fonts, scale, pianoRoll.get(), largePianoRoll.get());
    if (mode <= MODE_SEQUENCER) {
        if (moreView && mode == MODE_SCALES) {
            screens::DrawScaleInfo(cache, fonts, scale);
        } else if (moreView) {
            screens::DrawChordInfo(cache, fonts, view);
        } else {
            screens::DrawChordDiagram(cache, fonts, view);
        }
    }
    if (mode == MODE_GROUPS)
        screens::DrawChordGroups(cache, fonts,
                                 {keyList.list.Selection(), moreView != 0, player.playing != 0,
                                  view.root, view.chordType, spelling});
}

void MyGame::DrawDetection(bool full) {
    if (!screenCache || !detectionDirty) return;
    screens::drawDetectionScreen(*screenCache, CurrentDetectionView(), detectionMemory, full);
    detectionDirty = 0;
}

screens::DetectionView MyGame::CurrentDetectionView() const {
    screens::DetectionView view;
    view.result = detection;
    view.spectrum = detectionSpectrum;
    view.detectChords = detectChords != 0;
    view.triggerLevel = triggerLevel;
    view.moreView = moreView != 0;
    view.fonts = Fonts();
    view.background = background.get();
    view.pianoRoll = largePianoRoll.get();
    view.spelling = spelling;
    return view;
}

void MyGame::OnCaptureBuffer(std::span<const std::int16_t> samples) {
    listener.OnCaptureBuffer(samples, detectionShowing.load());
}

// On the interface thread: the latest detection from the capture thread, if a new one came.
void MyGame::TakeDetection() {
    if (!listener.Store().TakeDirty()) return;
    detect::DetectionSnapshot snapshot;
    listener.Store().Read(snapshot);
    SetDetection(snapshot.result, snapshot.spectrum);
    // A chord heard becomes the finder's chord, as if picked from the lists. A note reading
    // marks one pitch class only.
    const detect::DetectionResult& heard = snapshot.result;
    bool chord = heard.detected && theory::IsPitchClass(heard.highlight[1]);
    if (!chord || heard.chordType < 0 || heard.chordType > 1 || !theory::IsPitchClass(heard.root))
        return;
    if (rootList.list.Selection() == heard.root && chordList.list.Selection() == heard.chordType)
        return;
    rootList.list.Select(heard.root);
    chordList.list.Select(heard.chordType);
    FindVoicings();
}

void MyGame::TakePlayingStep() {
    // Word of a step that began just before a stop must not undo what came after it.
    std::optional<PlayingStep> now = player.TakePlayingStep();
    if (!now || !player.playing) return;
    ShowStep(now->root, now->chordType, now->split, now->inversion);
    sequencerPanel.SelectRow(now->row);
}

void MyGame::SetDetection(const detect::DetectionResult& result, std::span<const double> spectrum) {
    detection = result;
    detectionSpectrum.fill(-96.0);
    std::copy_n(spectrum.begin(), std::min(spectrum.size(), detectionSpectrum.size()),
                detectionSpectrum.begin());
    detectionDirty = 1;
}

void MyGame::StartCapture() {
    std::unique_ptr<platform::WaveIn> device;
    if (hInstance && hInstance->makeWaveIn) device = hInstance->makeWaveIn();
    bool offered = device != nullptr;
    capture.SetDevice(std::move(device));
    // 256 ms buffers of 8 kHz 16-bit mono: what the analyser is built for.
    bool started = capture.StartCapture(
        [this](std::span<const std::int16_t> samples) { OnCaptureBuffer(samples); }, 8000, 4096, 16,
        1);
    if (!started && offered)
        std::fprintf(stderr, "fretlore: %s; running without chord detection\n",
                     capture.LastError().c_str());
}

int MyGame::OnExit() {
    // The capture goes first: its callback may use anything below.
    capture.StopCapture();
    for (std::uint32_t ch = 0; ch < mixer.GetChannelCount(); ++ch) {
        if (sound::VoiceRoot* instrument = mixer.GetInstrument(ch)) instrument->AllNotesOff();
    }
    player.StopPlayer();
    for (std::uint32_t ch = 0; ch < 6; ++ch)
        mixer.DetachInstrument(ch);
    for (auto& instrument : instruments)
        instrument.reset();
    mixer.Close();
    screenCache.reset();
    background.reset();
    pianoRoll.reset();
    largePianoRoll.reset();
    return 0;
}

std::string MyGame::StrumCaption() const {
    if (mode != MODE_GROUPS) return "Strum";
    return player.playing ? "Stop" : "Audition";
}

void MyGame::SetMode(std::int32_t newMode) {
    mode = newMode;
    detectionShowing = mode == MODE_DETECTION;
    if (mode == MODE_DETECTION) {
        detectionDirty = 1;
        DrawDetection(true);
    }
    auto show = [](ui::TObject& w, bool visible) {
        w.SetFlags(visible ? VISIBLE_WIDGET : HIDDEN_WIDGET);
    };
    bool chordModes = mode <= MODE_SEQUENCER;
    show(trigger, mode == MODE_DETECTION);
    strumButton.SetCaption(StrumCaption());
    show(scaleList, mode == MODE_SCALES);
    sequencerPanel.SetFlags(mode == MODE_SEQUENCER ? (ui::FLAG_VISIBLE | ui::FLAG_NOTIFY)
                                                   : ui::FLAG_NOTIFY);
    for (ui::TObject* w : std::initializer_list<ui::TObject*>{
             &rootList, &chordList, &tuningList, &inversionList, &leftHanded, &allowSplitChords})
        show(*w, chordModes);
    show(keyList, mode == MODE_GROUPS);
    show(detectButton, mode == MODE_DETECTION);
    show(nrButton, mode == MODE_DETECTION);
    for (auto& b : stringButtons)
        show(b, mode == MODE_DETECTION && !moreView);
    screenDirty = 1;
}

void MyGame::ModeMenu() {
    Frame();
    modeMenu.selectedIndex = mode + 1;
    int result =
        gfx::showMenu(modeMenu, *display, *hWnd, "Select Mode",
                      "01Guitar Chords,02Piano Chords,03Scales,04Chord Sequencer,05Chord Groups,"
                      "06Chord Detection,07Load / Save,10Exit Program");
    if (result >= 1 && result <= 6) {
        SetMode(result - 1);
    } else if (result == 7) {
        DiskMenu();
    } else if (result == 10) {
        Frame();
        exitMenu.selectedIndex = 2;
        if (gfx::showMenu(exitMenu, *display, *hWnd, "Exit Program", "01Yes,02No") == 1)
            RequestClose();
    }
}

int MyGame::ShowTitleScreen() {
    Frame();
    titlePicture = gfx::loadImageResource(1, platform::RESOURCE_GIF);
    if (!titlePicture || !display) return 1;
    const gfx::DisplayParams& p = display->Params();
    int left = (static_cast<int>(p.width) - titlePicture->Width()) / 2;
    int top = (static_cast<int>(p.height) - titlePicture->Height()) / 2;
    int right = left + titlePicture->Width(), bottom = top + titlePicture->Height();

    ui::TDesktop desktop;
    desktop.Attach(display.get(), hWnd);
    desktop.SetFont(&mediumFont);
    ui::UIButton ok;
    ok.SetRect(right - 55, bottom - 25, 50, 20);
    ok.SetFaces(faces50.get(), 0);
    ok.SetCaption(2, "Ok", ui::CAPTION_INSIDE);
    ok.SetFlags(VISIBLE_WIDGET);
    desktop.AddChild(&ok);
    hWnd->SetTimer(TITLE_TIMER, 30);

    gfx::SurfacePtr backdrop;
    if (display->Lock()) {
        gfx::Surface& back = *display->BackBuffer();
        gfx::fillRect(back, 0, 0, back.Width() - 1, back.Height() - 1, 0, 16);
        gfx::fillRect(back, left + 5, top + 5, right + 4, bottom + 4, 0, 16);
        gfx::copyRect(back, left, top, titlePicture->Width(), titlePicture->Height(), *titlePicture,
                      0, 0);
        backdrop = gfx::clone(back);
        display->UnlockAndPresent(0);
    }
    int result = 1;
    for (;;) {
        platform::Msg msg;
        int pumped = desktop.Pump(msg);
        if (pumped <= 0) {
            hWnd->PostQuit(0);
            result = 0;
            break;
        }
        if (msg.message == platform::MSG_COMMAND && platform::CommandId(msg.wParam) == 2) break;
        // Enter, Escape and Space do what the one button does, and so does a tap on the picture.
        if (msg.message == platform::MSG_KEYDOWN &&
            (msg.wParam == platform::KEY_RETURN || msg.wParam == platform::KEY_ESCAPE ||
             msg.wParam == ' '))
            break;
        if (msg.message == platform::MSG_LBUTTONUP) {
            int px = platform::PointX(msg.lParam), py = platform::PointY(msg.lParam);
            if (px >= left && px < right && py >= top && py < bottom) break;
        }
        if (msg.message == platform::MSG_TIMER && msg.wParam == TITLE_TIMER)
            desktop.Redraw(backdrop.get());
    }
    hWnd->KillTimer(TITLE_TIMER);
    titlePicture.reset();
    desktop.Detach();
    ui::SetCurrentDesktop(&mainDesktop);
    if (result) Frame();
    return result;
}

}  // namespace app

#pragma once
// The application: its instruments, fonts and pictures, the one set of widgets all modes
// share, the mode menu, and what every key, tap and command does.

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "app/ChordPlayer.h"
#include "app/FileDialogs.h"
#include "app/Settings.h"
#include "app/TProgram.h"
#include "detect/AudioCapture.h"
#include "detect/Listener.h"
#include "gfx/Font.h"
#include "gfx/PopupMenu.h"
#include "screens/ChordView.h"
#include "screens/DetectionScreen.h"
#include "screens/ScalesScreen.h"
#include "screens/SequencerPanel.h"
#include "sound/Mixer.h"
#include "sound/Sampler.h"
#include "theory/Sequence.h"
#include "theory/Voicing.h"
#include "ui/ImageStrip.h"
#include "ui/TDesktop.h"
#include "ui/UIButton.h"
#include "ui/UICombo.h"
#include "ui/UIScrollBar.h"

namespace app {

// Modes, in the order of the "Select Mode" menu.
enum Mode : std::int32_t {
    MODE_GUITAR = 0,
    MODE_PIANO = 1,
    MODE_SCALES = 2,
    MODE_SEQUENCER = 3,
    MODE_GROUPS = 4,
    MODE_DETECTION = 5,
};

// Command ids of the main screen's widgets.
enum WidgetId : std::uint16_t {
    ID_ROOT = 100,
    ID_CHORD = 101,
    ID_TUNING = 103,
    ID_INVERSION = 104,
    ID_LEFT_HANDED = 105,
    ID_SPLIT_CHORDS = 106,
    ID_HELP = 107,
    ID_STRUM = 108,
    ID_MORE = 109,
    ID_MENU = 111,
    ID_SCALE = 112,
    ID_SEQUENCER_PLAY = 113,
    ID_SEQUENCER_STOP = 114,
    ID_KEY = 120,
    ID_TRIGGER = 121,
    ID_DETECT = 122,
    ID_NR = 123,
    ID_STRING_FIRST = 130,
    ID_STRING_LAST = 135,
};

class MyGame : public TProgram, private screens::SequencerHost {
  public:
    MyGame();
    ~MyGame() override;

    int Frame() override;
    int CanClose() override { return 1; }
    int OnCreate() override;
    void BuildScreen() override;
    int OnExit() override;
    // Opens `startSequence`, if any, in the Chord Sequencer before the frame loop.
    int Run() override;
    platform::LResult HandleMessage(std::uint32_t msg, platform::WParam wParam,
                                    platform::LParam lParam) override;

    // Shown once before the frame loop; 1 when dismissed, 0 when the program is quitting.
    int ShowTitleScreen();
    void ModeMenu();
    void SetMode(std::int32_t newMode);
    // Opens the microphone (the host's, if any) for the rest of the run; says once on
    // stderr when a microphone was offered and could not be opened.
    void StartCapture();

    // Searches the selected chord's shapes again, refills the Inversion list and
    // publishes the selected shape to the player.
    void FindVoicings();
    // Puts the capo at fret `capo` (0 takes it off), relabels the strings and searches the
    // shapes again; false, changing nothing, outside 0..MAX_CAPO.
    bool SetCapo(int capo);
    // `PluckString` with the instant dot of a tap on the fret board.
    void TapFretBoard(int x, int y);
    // The same on the Scales fret board; nothing while the piano roll shows.
    void TapScaleBoard(int x, int y);
    // The state a script's `state` command writes: stable keys for tests and tools.
    std::string StateJson() const;
    // The sequence, its steps and the panel's rows as stored, for the state dump.
    std::string SequenceJson() const;
    // Writes StateJson to `path`; an empty string, or why it could not be written.
    std::string WriteState(const std::string& path) const;
    // What the chord screens draw from, as the lists stand now.
    screens::ChordView CurrentView() const;
    screens::ScaleView CurrentScaleView() const;
    screens::Fonts Fonts() const { return {&largeFont, &mediumFont, &smallFont}; }
    // What the Chord Detection screen draws from, as the detection and the settings stand.
    screens::DetectionView CurrentDetectionView() const;
    // Hands the screen a detection and its spectrum (dB per bin; missing bins read -96), and
    // asks for a redraw.
    void SetDetection(const detect::DetectionResult& result, std::span<const double> spectrum);
    // The capture callback, on the capture thread: the buffer is analysed while the Chord
    // Detection mode shows, and its result waits in the listener's store for the next frame.
    void OnCaptureBuffer(std::span<const std::int16_t> samples);
    // After the whole sequence was replaced (Load, Audition): the panel's list is rebuilt
    // with `row` selected and the player gets the new steps.
    void SequenceReplaced(int row);
    // How the screens stand, for the settings file (the window's part is the caller's).
    Settings CurrentSettings() const;
    // Puts the screens back as they were left: lists, check boxes, detection settings, mode.
    void ApplySettings(const Settings& settings);
    // Writes every note name on screen anew; selections, shapes and the sequence stay.
    void SetSpelling(theory::Spelling newSpelling);
    // The A4 the detector reads against (415..466 Hz) and whether the strings sound at it
    // too; the strings stay at 440 otherwise. Takes effect from the next buffer and note.
    void SetConcertPitch(int hz, bool sound);
    // The program's message box; the last one shown is kept for the state dump.
    int ShowMessage(std::string_view title, std::string_view text);

    // Program-wide state.
    std::int32_t mode = MODE_GUITAR;
    std::uint32_t moreView = 0;
    std::uint32_t screenDirty = 1;
    gfx::SurfacePtr screenCache;
    std::uint32_t splitChords = 0;
    std::uint32_t noiseReduction = 0;
    std::uint32_t detectionDirty = 0;
    std::uint32_t detectChords = 1;
    std::int32_t triggerLevel = 30;
    // How note names are written; set before the screen is built, or through SetSpelling.
    theory::Spelling spelling = theory::Spelling::Sharps;
    std::int32_t a4 = 440;
    bool a4Sound = false;
    // Called with the NR button's new state: on, the next analysed frame becomes the noise
    // profile; off, the profile is cleared.
    std::function<void(bool on)> noiseReductionChanged;
    // The analyser and detector the capture thread feeds; declared before anything that may
    // run that thread, so it outlives it.
    detect::Listener listener;
    std::atomic<bool> detectionShowing{false};  // read by the capture thread
    ui::TDesktop mainDesktop;
    // Destroyed in reverse order: the player thread and then the mixer's output thread
    // stop before the instruments they sound are deleted, whether OnExit ran or not.
    std::array<std::unique_ptr<sound::Sampler>, 6> instruments;
    sound::Mixer mixer;
    ChordPlayer player;
    // Stops, on every way out, before anything its callback reads is destroyed.
    detect::AudioCapture capture;
    theory::VoicingList voicings;
    // The steps the sequencer panel edits and the player plays; changed on the main thread.
    theory::Sequence sequence;
    struct ShownMessage {
        std::string title, text;
    };
    std::optional<ShownMessage> lastMessage;
    std::string openDialog;  // the title of the file dialog now open; "" when none
    // A sequence file to open in the Chord Sequencer as the program starts; "" for none.
    std::string startSequence;

    // The main screen's widgets.
    screens::UIArpegiatorInhterface sequencerPanel{sequence, *this};
    ui::UICombo rootList, chordList, tuningList, inversionList, scaleList, keyList;
    ui::UIButton leftHanded, allowSplitChords, detectButton, nrButton;
    ui::UIButton helpButton, strumButton, moreButton, menuButton;
    std::array<ui::UIButton, 6> stringButtons;
    ui::UIScrollBar trigger;

  private:
    void SetUpSound();
    void LoadPictures();
    void AddWidgets();
    void HandleKey(std::uint32_t key);
    void HandleChar(char c);
    void HandleCommand(std::uint32_t id);
    // Chord Groups: the key's six chords replace the sequence, and playback starts or stops.
    void Audition();
    void KeyChanged();
    void DrawStaticScreen();
    void DrawDetection(bool full);
    void TakeDetection();
    // On the interface thread: shows the step the player has begun, if one began.
    void TakePlayingStep();
    // Selects a chord and shape in the lists and searches again, as a person would.
    void ShowStep(int root, int chordType, bool split, int inversion);

    std::optional<theory::SequenceStep> CurrentStep() const override;
    void LoadStep(const theory::SequenceStep& step) override;
    void SequenceChanged() override;
    void SetDoubleOctave(bool on) override { player.doubleOctave = on ? 1 : 0; }
    void SetStyle(int style) override { player.style = style; }
    void DiskMenu();
    void LoadSequence();
    void SaveSequence();
    // Reads the file into `sequence`; a failure is told in a message box and on stderr.
    bool ReadSequence(const std::string& path);
    DialogContext Dialogs();
    void PublishShape();
    void RefreshStringCaptions();
    // Replaces a list's item texts, keeping its selection.
    static void RelabelList(ui::UICombo& combo, std::span<const std::string> items);
    void WaitForStylusUp();
    // Plays the tapped string; with a dot to draw, shows it until the stylus lifts.
    void PluckWithDot(const screens::FretTap& tap,
                      const std::function<void(gfx::Surface&)>& drawDot);
    std::string StrumCaption() const;

    gfx::Font largeFont, mediumFont, smallFont;
    gfx::SurfacePtr background;
    gfx::SurfacePtr titlePicture;
    gfx::SurfacePtr pianoRoll;
    gfx::SurfacePtr largePianoRoll;
    detect::DetectionResult detection;
    std::array<double, screens::SPECTRUM_BINS> detectionSpectrum;
    screens::DetectionScreenMemory detectionMemory;
    std::unique_ptr<ui::ImageStrip> arrowFaces, checkFaces, faces50, faces30, faces95, thumbFaces;
    gfx::PopupMenu modeMenu, diskMenu, exitMenu;
};

}  // namespace app

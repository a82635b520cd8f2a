#pragma once
// The Chord Sequencer's panel: the list of steps and the buttons that edit and play them.
// It edits the sequence it is given and asks its host for the chord on screen and for
// everything it does to the rest of the program.

#include <cstdint>
#include <optional>
#include <string>

#include "theory/Sequence.h"
#include "theory/Spelling.h"
#include "ui/TObject.h"
#include "ui/UIButton.h"
#include "ui/UIListBox.h"

namespace gfx {
class Font;
}
namespace ui {
class ImageStrip;
}

namespace screens {

// Ids of the panel's widgets. The list shares 100 with the Root list, so it reports only to
// the panel; Play and Stop also reach the window, which starts and stops the player.
enum SequencerId : std::uint16_t {
    ID_SEQUENCE_LIST = 100,
    ID_SEQUENCE_PLAY = 113,
    ID_SEQUENCE_STOP = 114,
    ID_SEQUENCE_ADD = 115,
    ID_SEQUENCE_DELETE = 116,
    ID_TWELVE_STRING = 117,
    ID_SEQUENCE_LENGTH = 118,
    ID_ALTERNATE_PICKING = 119,
};

// What the panel needs from the program around it.
class SequencerHost {
  public:
    virtual ~SequencerHost() = default;
    // The chord the lists show as a step one bar long; nullopt with no shape selected.
    virtual std::optional<theory::SequenceStep> CurrentStep() const = 0;
    // Shows a step's chord in the lists, as if the user had chosen it there.
    virtual void LoadStep(const theory::SequenceStep& step) = 0;
    // The steps changed; the panel's list already shows them.
    virtual void SequenceChanged() = 0;
    virtual void SetDoubleOctave(bool on) = 0;
    virtual void SetStyle(int style) = 0;
};

struct SequencerFaces {
    const gfx::Font* font = nullptr;
    const ui::ImageStrip* buttons = nullptr;  // 50x20 button faces
    const ui::ImageStrip* checks = nullptr;   // check box faces
    const ui::ImageStrip* arrows = nullptr;   // the list's scroll arrows
};

// "C|Major|01|1 bar": note name (marked up, spelled in the chord's key under Key), chord
// type, shape number, length, one column each.
std::string SequenceRowText(const theory::SequenceStep& step,
                            theory::Spelling spelling = theory::Spelling::Sharps);

class UIArpegiatorInhterface : public ui::TObject {
  public:
    UIArpegiatorInhterface(theory::Sequence& steps, SequencerHost& host);

    ui::LResult HandleEvent(std::uint32_t msg, ui::WParam wParam, ui::LParam lParam) override;

    // Places the children at their places relative to the panel.
    void Build(const SequencerFaces& faces);
    // Fills the list from the sequence with `row` selected (clamped to the last row).
    void Rebuild(int row);
    void SelectRow(int row) { list.Select(row); }
    int SelectedRow() const { return list.Selection(); }
    // The Play button shows pressed while a sequence plays.
    void ShowPlaying(bool on);

    void Add();
    void Delete();
    void CycleLength();
    void LoadSelectedStep();
    void ToggleAlternatePicking();

    ui::UIListBox list;
    ui::UIButton play, stop, add, remove, length, twelveString, alternatePicking;
    // The Alternate Picking box as the program keeps it; a click sets the pattern from the
    // value before the click, so a checked box picks pattern 0 and a cleared one pattern 1.
    bool alternate = false;
    // How the rows write their roots; Rebuild shows a change.
    theory::Spelling spelling = theory::Spelling::Sharps;

  private:
    theory::Sequence& sequence;
    SequencerHost& host;
};

}  // namespace screens

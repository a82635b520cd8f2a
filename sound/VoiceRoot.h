#pragma once
// The base of every instrument a mixer channel can play.

#include <cstdint>
#include <istream>
#include <ostream>
#include <span>
#include <string>

#include "sound/Control.h"

namespace sound {

// The file pattern and browser title of an instrument's patches.
struct FileType {
    const char* pattern;
    const char* title;
};

class VoiceRoot : public VisualInterface {
  public:
    virtual bool SetSampleRate(std::uint32_t rate) = 0;
    // Fills `out` (values on the 16-bit scale) and returns true, or returns false without
    // touching `out` when nothing sounds. The caller holds the mixer lock.
    virtual bool Render(std::span<std::int32_t> out) = 0;
    // Returns the note, or −1 when no voice can be had.
    virtual int NoteOn(int note, int velocity) = 0;
    virtual void NoteOff(int note) = 0;
    virtual void AllNotesOff() = 0;
    // Reads a patch; a damaged one is refused whole (false, `error` set) and nothing changes.
    virtual bool Load(std::istream& in, std::string& error) = 0;
    virtual bool Save(std::ostream& out) = 0;
    virtual bool SetControlValue(std::uint8_t id, double value) = 0;
    virtual void SelectRadio(std::uint8_t first, std::uint8_t end, std::uint8_t chosen) = 0;
    virtual double GetControlValue(std::uint8_t id) = 0;
    virtual FileType GetFileType() const = 0;
};

}  // namespace sound

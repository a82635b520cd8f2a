#pragma once
// Random input for the soak run: what a restless user does, as a headless script.

#include <cstdint>
#include <random>
#include <string>

namespace soak {

class ScriptMaker {
  public:
    explicit ScriptMaker(std::uint64_t seed) : random(seed) {}
    // `commands` script commands (more or less: a menu walk is several), starting with the
    // title screen's Enter. Never chooses "Exit Program".
    std::string Make(int commands);
    int Made() const { return made; }

  private:
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }
    void Line(std::string& script, const std::string& line);
    void Step(std::string& script);

    std::mt19937_64 random;
    int made = 0;
};

}  // namespace soak

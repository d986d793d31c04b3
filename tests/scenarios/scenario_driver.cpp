#include "scenarios/scenario_driver.h"

#include <cstdlib>

bool NearColour(std::uint32_t a, std::uint32_t b, int nTolerance) {
    for (int nShift = 0; nShift <= 16; nShift += 8) {
        if (std::abs(int((a >> nShift) & 0xFF) - int((b >> nShift) & 0xFF)) > nTolerance) {
            return false;
        }
    }
    return true;
}

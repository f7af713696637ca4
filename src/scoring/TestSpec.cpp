#include "scoring/TestSpec.h"

namespace qlm {

void SetTestSpec(TestSpec& constants) {
    constants.SectionEnd = {0, 97, 109};
    constants.SectionChoices = {0, 2, 4};
    constants.CourtItemCount = 11;
}

int InRange(double value, double low, double high) { return low <= value && value <= high ? 1 : 0; }

}  // namespace qlm

#include "scoring/TestSpec.h"

namespace qlm {

void SetTestSpec(TestSpec& constants) {
    constants.SectionEnd = {0, TestSpec::TrueFalseItemCount, TestSpec::ItemCount};
    constants.SectionChoices = {0, 2, 4};
    constants.CourtItemCount = 11;
}

}  // namespace qlm

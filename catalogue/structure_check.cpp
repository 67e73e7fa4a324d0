// CheckHdfStructure: runs the stages of the structure check in the order in
// which HDF4's readers meet the records: Hopen's DD blocks and version
// element, SDstart's vgroup and vdata headers, then its reading of the SD
// structure and of the old-style groups, each with the special elements they
// lead to.
#include "catalogue/structure_check.h"

#include "catalogue/structure/structure_context.h"

StructureVerdict CheckHdfStructure(const char* Path) {
    FileBytes File(Path);
    if (!File.IsOpen())
        return {false, "file that cannot be read"};
    StructureCheck Check{File, {}, {}, {}, {}, false, nullptr};
    const bool Sound = CheckDdBlocks(Check) && CheckVsetHeaders(Check) && CheckSdVariables(Check) &&
                       CheckSdGroups(Check);
    if (Sound)
        return {true, ""};
    if (File.OverBudget())
        return {false, "more headers than the check will read"};
    return {false, Check.Broken != nullptr ? Check.Broken : "unreadable structure"};
}

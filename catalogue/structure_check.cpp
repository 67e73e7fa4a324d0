// CheckHdfStructure: runs the stages of the structure check in the order in
// which HDF4's readers meet the records: Hopen's DD blocks and version
// element, SDstart's vgroup and vdata headers, then its reading of the SD
// structure or, in a file without one, of the old-style groups, each with
// the special elements they lead to.
#include "catalogue/structure_check.h"

#include "catalogue/structure/structure_context.h"

#include <cstring>

const char* StructureVerdict::DataRule(int32_t HdfIndex) const {
    for (const DataKeptOut& Data : KeptOut)
        if (Data.HdfIndex == HdfIndex)
            return Data.Rule;
    return nullptr;
}

bool StructureVerdict::ScaleReadable(const char* DimensionName) const {
    for (const std::string& Name : ScalesKeptOut)
        if (std::strcmp(Name.c_str(), DimensionName) == 0)
            return false;
    return true;
}

StructureVerdict CheckHdfStructure(const char* Path) {
    FileBytes File(Path);
    if (!File.IsOpen())
        return {false, StructureRuleWords(StructureRule::FileUnreadable), {}, {}};
    StructureCheck Check{File};
    // SDstart reads the old-style groups only when it cannot read the CDF0.0
    // vgroup, and CheckSdVariables refuses every shape that makes it fail.
    const bool Sound = CheckDdBlocks(Check) && CheckVsetHeaders(Check) && CheckSdVariables(Check) &&
                       (Check.HasCdfStructure || CheckSdGroups(Check));
    if (Sound)
        return {true, "", std::move(Check.KeptOut), std::move(Check.ScalesKeptOut)};
    if (File.OverBudget())
        return {false, StructureRuleWords(StructureRule::HeadersOverBudget), {}, {}};
    return {
        false, StructureRuleWords(Check.Broken.value_or(StructureRule::UnnamedRefusal)), {}, {}};
}

// The structure check's rules as docs/reliability.md shows them: by stage,
// rows of rules that guard one HDF4 function and condition together, with
// what HDF4 alone did without them. Each rule's words and outcome come from
// catalogue/structure/structure_rules.h.
#ifndef LOADHDF_TESTS_CATALOGUE_STRUCTURE_RULE_GUARDS_H
#define LOADHDF_TESTS_CATALOGUE_STRUCTURE_RULE_GUARDS_H

#include "catalogue/structure/structure_rules.h"
#include "tools/hdf4_alone/hdf4_fault.h"

#include <vector>

struct StructureRuleRow {
    std::vector<StructureRule> Rules; // of one outcome
    const char* Guards;               // the HDF4 function and condition, in Markdown
    // What HDF4 alone did with the damaged files of these rules in the
    // check's tests, each fault once, worst first; empty where the tests
    // have none. Clean or report alone: HDF4 did not need the rule there.
    std::vector<Hdf4Fault> Shown = {};
};

struct StructureRuleStage {
    const char* Stage; // the source file and what it reads, in Markdown
    std::vector<StructureRuleRow> Rows;
};

const std::vector<StructureRuleStage>& StructureRuleGuards();

// The row that lists Rule, or null.
const StructureRuleRow* FindStructureRuleRow(StructureRule Rule);

#endif

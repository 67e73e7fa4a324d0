// The words and outcome of each rule, looked up by identifier.
#include "catalogue/structure/structure_rules.h"

namespace {

struct RuleEntry {
    const char* Words;
    RuleOutcome Outcome;
};

constexpr RuleEntry Rules[] = {
#define LOADHDF_RULE_ENTRY(Identifier, Outcome, Words) {Words, RuleOutcome::Outcome},
    LOADHDF_STRUCTURE_RULES(LOADHDF_RULE_ENTRY)
#undef LOADHDF_RULE_ENTRY
};
static_assert(sizeof(Rules) / sizeof(Rules[0]) == StructureRuleCount);

} // namespace

const char* StructureRuleWords(StructureRule Rule) {
    return Rules[size_t(Rule)].Words;
}

RuleOutcome StructureRuleOutcome(StructureRule Rule) {
    return Rules[size_t(Rule)].Outcome;
}

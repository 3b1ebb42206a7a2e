#pragma once
// Benchmarks come in pairs measured in the same run: "<Group>/baseline" and
// "<Group>/briskjot". The runner prints briskjot / baseline for each group, and
// the target that the group should stay under.

#include <map>
#include <string>

namespace bench {

std::map<std::string, double>& Targets();

struct TargetRegistration {
    TargetRegistration(const char* group, double maxRatio) { Targets()[group] = maxRatio; }
};

}  // namespace bench

#define BJ_CONCAT_INNER(a, b) a##b
#define BJ_CONCAT(a, b) BJ_CONCAT_INNER(a, b)
#define BJ_RATIO_TARGET(group, maxRatio) \
    static const bench::TargetRegistration BJ_CONCAT(bjTarget, __LINE__)(group, maxRatio)

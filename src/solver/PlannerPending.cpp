// Stand-in until the planner's engine is merged; the engine's own definition replaces it.
#include "planner/Planner.h"

using namespace Qt::StringLiterals;

namespace planner {

[[gnu::weak]] PlanResult computePlan(const PlanInput&) {
    return {std::nullopt, u"The planner is not available in this build."_s};
}

}  // namespace planner

#include "PlanSummary.h"

PlanSummary::PlanSummary(const QuitPlan& plan) : count(int(plan.toQuit.size())), bytes(plan.bytes())
{
    for (const AppEntry& app : plan.toQuit)
        keys.append(app.key());
}

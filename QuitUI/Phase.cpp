#include "Phase.h"

Phase Phase::quitting(int closed, int of)
{
    Phase phase;
    phase.state = Progress{closed, of};
    return phase;
}

Phase Phase::done(Quitter::Report report)
{
    Phase phase;
    phase.state = std::move(report);
    return phase;
}

Phase::Kind Phase::kind() const
{
    if (std::holds_alternative<Progress>(state))
        return Quitting;
    if (std::holds_alternative<Quitter::Report>(state))
        return Done;
    return Ready;
}

int Phase::closed() const
{
    const auto* progress = std::get_if<Progress>(&state);
    return progress ? progress->closed : 0;
}

int Phase::of() const
{
    const auto* progress = std::get_if<Progress>(&state);
    return progress ? progress->of : 0;
}

std::optional<Quitter::Report> Phase::report() const
{
    const auto* report = std::get_if<Quitter::Report>(&state);
    return report ? std::optional(*report) : std::nullopt;
}

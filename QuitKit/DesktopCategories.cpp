#include "DesktopCategories.h"

#include <QHash>

namespace
{

const QHash<QString, QString>& identifiers()
{
    static const QHash<QString, QString> table{
        {QStringLiteral("Game"), QStringLiteral("public.app-category.games")},
        {QStringLiteral("ActionGame"), QStringLiteral("public.app-category.action-games")},
        {QStringLiteral("Shooter"), QStringLiteral("public.app-category.action-games")},
        {QStringLiteral("AdventureGame"), QStringLiteral("public.app-category.adventure-games")},
        {QStringLiteral("ArcadeGame"), QStringLiteral("public.app-category.arcade-games")},
        {QStringLiteral("BoardGame"), QStringLiteral("public.app-category.board-games")},
        {QStringLiteral("CardGame"), QStringLiteral("public.app-category.card-games")},
        {QStringLiteral("KidsGame"), QStringLiteral("public.app-category.kids-games")},
        {QStringLiteral("LogicGame"), QStringLiteral("public.app-category.puzzle-games")},
        {QStringLiteral("BlocksGame"), QStringLiteral("public.app-category.puzzle-games")},
        {QStringLiteral("RolePlaying"), QStringLiteral("public.app-category.role-playing-games")},
        {QStringLiteral("SportsGame"), QStringLiteral("public.app-category.sports-games")},
        {QStringLiteral("StrategyGame"), QStringLiteral("public.app-category.strategy-games")},
        {QStringLiteral("Audio"), QStringLiteral("public.app-category.music")},
        {QStringLiteral("Music"), QStringLiteral("public.app-category.music")},
        {QStringLiteral("Video"), QStringLiteral("public.app-category.video")},
        {QStringLiteral("TV"), QStringLiteral("public.app-category.video")},
        {QStringLiteral("Chat"), QStringLiteral("public.app-category.social-networking")},
        {QStringLiteral("InstantMessaging"),
         QStringLiteral("public.app-category.social-networking")},
        {QStringLiteral("IRCClient"), QStringLiteral("public.app-category.social-networking")},
        {QStringLiteral("News"), QStringLiteral("public.app-category.news")},
        {QStringLiteral("Sports"), QStringLiteral("public.app-category.sports")},
        {QStringLiteral("Amusement"), QStringLiteral("public.app-category.entertainment")},
        {QStringLiteral("Development"), QStringLiteral("public.app-category.developer-tools")},
        {QStringLiteral("Office"), QStringLiteral("public.app-category.productivity")},
        {QStringLiteral("WordProcessor"), QStringLiteral("public.app-category.productivity")},
        {QStringLiteral("Spreadsheet"), QStringLiteral("public.app-category.productivity")},
        {QStringLiteral("Presentation"), QStringLiteral("public.app-category.productivity")},
        {QStringLiteral("Graphics"), QStringLiteral("public.app-category.graphics-design")},
        {QStringLiteral("Photography"), QStringLiteral("public.app-category.photography")},
        {QStringLiteral("Education"), QStringLiteral("public.app-category.education")},
        {QStringLiteral("Finance"), QStringLiteral("public.app-category.finance")},
        {QStringLiteral("Utility"), QStringLiteral("public.app-category.utilities")},
    };
    return table;
}

} // namespace

std::optional<QString> DesktopCategories::identifier(const QStringList& categories)
{
    for (const QString& category : categories) {
        const auto found = identifiers().constFind(category);
        if (found != identifiers().constEnd())
            return *found;
    }
    return std::nullopt;
}

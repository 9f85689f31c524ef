#pragma once

#include <QString>

/// The game's PGN with every tag a lichess broadcast requires (Event, Site, Date, White, Black, Result):
/// a missing one is added after the others, "?" for the unknown ("????.??.??" for the date), and the
/// result taken from the end of the moves ("*" when there is none). Lichess refuses a game without them.
QString WithRequiredTags(const QString& pgn);

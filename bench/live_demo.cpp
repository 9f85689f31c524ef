// Serves a fixed game in progress on the live server, for looking at the pages and for the browser test:
//   bench_live_demo [PORT] [--lan] [--paused] [--flag] [--next MS]
// --paused pauses the clocks; --flag lets Black's clock run out; --next plays one more ply (Re8) after MS
// milliseconds, to watch a page follow the game. Prints "url=", "fen=", "white=", "black=" and "ply="
// lines (what the page must show at first), then serves until it is stopped.
#include "LiveServer.h"
#include "Notation.h"
#include "Pgn.h"

#include <QCoreApplication>
#include <QTextStream>
#include <QTimer>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const quint16 port = args.size() > 1 ? quint16(args[1].toUInt()) : 8080;

    LiveState state;
    state.game = 1;
    state.event = QStringLiteral("Club championship");
    state.site = QStringLiteral("Vienna");
    state.round = QStringLiteral("3");
    state.board = QStringLiteral("2");
    state.timeControl = QStringLiteral("40 moves in 90 min, then 30 min, +30 s");
    state.white = {QStringLiteral("Zoë Müller"), 3723400, false};
    state.black = {QStringLiteral("Bruno Keller"), 2890100, false};
    PgnGame game;
    game.event = state.event.toStdString();
    game.site = state.site.toStdString();
    game.round = state.round.toStdString();
    game.white = state.white.name.toStdString();
    game.black = state.black.name.toStdString();
    Position position = Position::Start();
    for (const char* san : {"e4", "e5",  "Nf3", "Nc6", "Bb5", "a6", "Ba4", "Nf6", "O-O",  "Be7", "Re1",
                            "b5", "Bb3", "d6",  "c3",  "O-O", "h3", "Nb8", "d4",  "Nbd7", "Nbd2"}) {
        const Move move = *ParseSan(position, san);
        state.moves.append(QString::fromStdString(ToSan(position, move)));
        state.lastMove = state.moves.last();
        state.lastFrom = QString::fromStdString(SquareName(move.from));
        state.lastTo = QString::fromStdString(SquareName(move.to));
        game.plies.push_back({move, {}, {}, false, {}});
        position = position.play(move);
    }
    state.ply = int(state.moves.size());
    state.fen = QString::fromStdString(ToFen(position));
    state.running = position.sideToMove() == Colour::White ? LiveRunning::White : LiveRunning::Black;
    state.paused = args.contains(QStringLiteral("--paused"));
    if (args.contains(QStringLiteral("--flag")))
        state.black = {state.black.name, -1500, true};

    LiveServer server;
    const QString error = server.Start(port, args.contains(QStringLiteral("--lan")));
    QTextStream out(stdout);
    if (!error.isEmpty()) {
        QTextStream(stderr) << error << '\n';
        return 1;
    }
    server.Publish(state);
    server.SetGamePgn(1, QString::fromStdString(WritePgn(game)));
    if (const int next = args.indexOf(QStringLiteral("--next")); next > 0 && next + 1 < args.size()) {
        QTimer::singleShot(args[next + 1].toInt(), [&] {
            const Move move = *ParseSan(position, "Re8");
            state.moves.append(QStringLiteral("Re8"));
            state.lastMove = QStringLiteral("Re8");
            state.lastFrom = QString::fromStdString(SquareName(move.from));
            state.lastTo = QString::fromStdString(SquareName(move.to));
            position = position.play(move);
            state.ply += 1;
            state.fen = QString::fromStdString(ToFen(position));
            state.running = LiveRunning::White;
            state.black.ms -= args[next + 1].toInt(); // Black thought that long about it
            state.taken = {};
            server.Publish(state);
        });
    }
    out << "url=" << server.Address().toString() << "\nfen=" << state.fen << "\nwhite=" << state.white.name
        << "\nblack=" << state.black.name << "\nply=" << state.ply << Qt::endl;
    return app.exec();
}

// orvo_content_gen PROGRAM_DIR [--force]
// Draws the program folder's content; files already up to date are kept.

#include "ContentBuilder.h"

#include <QGuiApplication>
#include <QStringList>

#include <cstdio>
#include <exception>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    const bool force = args.removeAll(QStringLiteral("--force")) > 0;
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: orvo_content_gen PROGRAM_DIR [--force]\n");
        return 2;
    }
    try {
        const QByteArray fingerprint =
            TContentWriter::FingerprintOf(QCoreApplication::applicationFilePath());
        TContentBuilder builder(args.first(), fingerprint, force);
        builder.Build();
        const TContentWriter& w = builder.Writer();
        std::printf("program folder content: %d written, %d unchanged, %d up to date\n",
                    w.Written(), w.Unchanged(), w.Skipped());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "orvo_content_gen: %s\n", e.what());
        return 1;
    }
    return 0;
}

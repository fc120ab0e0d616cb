// Runs a fuzz target over files and folders of inputs without libFuzzer, so that
// an ordinary build replays every corpus and every saved crash as a test.
#include "FuzzSupport.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

int main(int argc, char **argv)
{
    QStringList files;
    for (int i = 1; i < argc; ++i) {
        const QString argument = QFile::decodeName(argv[i]);
        if (QFileInfo(argument).isDir()) {
            QDirIterator it(argument, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
            while (it.hasNext())
                files << it.next();
        } else {
            files << argument;
        }
    }
    std::sort(files.begin(), files.end());
    for (const QString &path : std::as_const(files)) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
            return 2;
        }
        const QByteArray input = file.readAll();
        std::fprintf(stderr, "%s (%lld bytes)\n", qPrintable(path), static_cast<long long>(input.size()));
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(input.constData()), size_t(input.size()));
    }
    std::fprintf(stderr, "replayed %lld inputs\n", static_cast<long long>(files.size()));
    return files.isEmpty() ? 1 : 0;
}

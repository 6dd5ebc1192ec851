// Replays a fuzz target's corpus as an ordinary test: every file under the folders named on the
// command line goes through LLVMFuzzerTestOneInput once, in name order. A crash fails the test;
// so does a corpus that is missing or empty, which would make the test pass by testing nothing.
#include <QtCore/QDirIterator>
#include <QtCore/QFile>
#include <QtCore/QStringList>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);

int main(int argc, char **argv) {
  int inputs = 0;
  for (int i = 1; i < argc; ++i) {
    QStringList files;
    QDirIterator it(QString::fromLocal8Bit(argv[i]), QDir::Files | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
      files << it.next();
    files.sort();
    for (const QString &path : std::as_const(files)) {
      QFile f(path);
      if (!f.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        return 1;
      }
      const QByteArray bytes = f.readAll();
      LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t *>(bytes.constData()),
                             std::size_t(bytes.size()));
      ++inputs;
    }
  }
  std::printf("%d inputs replayed\n", inputs);
  return inputs > 0 ? 0 : 1;
}

// Replays every file of a fuzz corpus through the fuzz target, so the corpus runs as a test in
// the ordinary build.
#include <QtCore/QDirIterator>
#include <QtCore/QFile>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

int main(int argc, char **argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s CORPUS_DIR\n", argv[0]);
    return 2;
  }
  int files = 0;
  QDirIterator it(QFile::decodeName(argv[1]), QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    QFile f(it.next());
    if (!f.open(QIODevice::ReadOnly))
      return 1;
    const QByteArray d = f.readAll();
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(d.constData()), size_t(d.size()));
    ++files;
  }
  std::printf("replayed %d inputs\n", files);
  return files > 0 ? 0 : 1;
}

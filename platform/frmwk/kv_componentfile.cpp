#include "kv_componentfile.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <dlfcn.h>
#include <elf.h>
#include <fcntl.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A file descriptor that closes itself.
class Fd {
public:
    explicit Fd(int fd) : fd(fd) {}
    ~Fd() {
        if (fd >= 0)
            ::close(fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd; }

private:
    int fd;
};

bool readAt(int fd, void* buffer, size_t size, off_t offset) {
    size_t done = 0;
    while (done < size) {
        const ssize_t n =
            ::pread(fd, static_cast<char*>(buffer) + done, size - done, offset + off_t(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += size_t(n);
    }
    return true;
}

// Whether [offset, offset + size) lies within a file of fileSize bytes.
bool fits(quint64 offset, quint64 size, quint64 fileSize) {
    return offset <= fileSize && size <= fileSize - offset;
}

// A machine's name as people know it, from an ELF header's machine field.
QString machineName(unsigned machine) {
    static const struct {
        unsigned machine;
        const char* name;
    } names[] = {{EM_386, "i386"},        {EM_X86_64, "x86-64"}, {EM_ARM, "arm"},
                 {EM_AARCH64, "aarch64"}, {EM_RISCV, "riscv"},   {EM_PPC, "powerpc"},
                 {EM_PPC64, "powerpc64"}, {EM_S390, "s390"},     {EM_MIPS, "mips"},
                 {EM_SPARCV9, "sparc64"}, {EM_IA_64, "ia64"},    {EM_LOONGARCH, "loongarch"}};
    for (const auto& n : names)
        if (n.machine == machine)
            return QString::fromLatin1(n.name);
    return QStringLiteral("machine %1").arg(machine);
}

// What an ELF header says it was built for: machine, word size and byte order.
QString targetOf(const unsigned char* ident, unsigned machine) {
    return QStringLiteral("%1, %2-bit, %3")
        .arg(machineName(machine))
        .arg(ident[EI_CLASS] == ELFCLASS64   ? 64
             : ident[EI_CLASS] == ELFCLASS32 ? 32
                                             : 0)
        .arg(ident[EI_DATA] == ELFDATA2MSB ? QStringLiteral("big-endian")
                                           : QStringLiteral("little-endian"));
}

// The ELF header of this library, as the loader mapped it: what this process runs on.
const ElfW(Ehdr) * ownHeader() {
    Dl_info info;
    if (!dladdr(reinterpret_cast<const void*>(&ownHeader), &info) || !info.dli_fbase)
        return nullptr;
    return static_cast<const ElfW(Ehdr)*>(info.dli_fbase);
}

bool checkElf(int fd, quint64 fileSize, QString* why) {
    ElfW(Ehdr) header;
    if (fileSize < sizeof header || !readAt(fd, &header, sizeof header, 0)) {
        *why = QStringLiteral("file too short for an ELF header");
        return false;
    }
    if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0) {
        *why = QStringLiteral("not an ELF file");
        return false;
    }
    // The loader calls a library of another machine missing ("No such file or directory").
    const ElfW(Ehdr)* own = ownHeader();
    const unsigned machine = header.e_machine;
    if (own &&
        (std::memcmp(header.e_ident, own->e_ident, EI_OSABI) != 0 || machine != own->e_machine)) {
        // e_machine is in the file's byte order.
        const unsigned fileMachine = header.e_ident[EI_DATA] == own->e_ident[EI_DATA]
                                         ? machine
                                         : unsigned(((machine & 0xff) << 8) | (machine >> 8));
        *why =
            QStringLiteral("wrong architecture: built for %1, this process is %2")
                .arg(targetOf(header.e_ident, fileMachine), targetOf(own->e_ident, own->e_machine));
        return false;
    }
    if (header.e_type != ET_DYN || header.e_phentsize != sizeof(ElfW(Phdr))) {
        *why = QStringLiteral("not a shared library");
        return false;
    }
    if (!fits(header.e_phoff, quint64(header.e_phnum) * sizeof(ElfW(Phdr)), fileSize)) {
        *why = QStringLiteral("file cut short: the program headers end past its end");
        return false;
    }
    for (unsigned i = 0; i < header.e_phnum; ++i) {
        ElfW(Phdr) segment;
        if (!readAt(fd, &segment, sizeof segment, off_t(header.e_phoff + i * sizeof segment))) {
            *why = QStringLiteral("cannot read the program headers");
            return false;
        }
        if (segment.p_type == PT_LOAD && !fits(segment.p_offset, segment.p_filesz, fileSize)) {
            *why = QStringLiteral("file cut short: a loadable segment ends past its end");
            return false;
        }
    }
    return true;
}

} // namespace

bool KV_ComponentFile::isLoadable(const QString& path, QString* why) {
    // Non-blocking, so that opening a named pipe does not wait for a writer.
    const Fd fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat info;
    if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0) {
        *why = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        *why = QStringLiteral("not a regular file");
        return false;
    }
    return checkElf(fd.get(), quint64(info.st_size), why);
}

bool KV_ComponentFile::isFunction(const void* symbol) {
    Dl_info info;
    void* extra = nullptr;
    if (!dladdr1(symbol, &info, &extra, RTLD_DL_SYMENT) || !extra)
        return false;
    const int type = ELF64_ST_TYPE(static_cast<const ElfW(Sym)*>(extra)->st_info);
    return type == STT_FUNC || type == STT_GNU_IFUNC;
}

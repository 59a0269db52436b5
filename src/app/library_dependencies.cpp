#include "app/library_dependencies.h"

#include <cstring>
#include <elf.h>
#include <fcntl.h>
#include <optional>
#include <unistd.h>

namespace {

// A read-only file descriptor, closed when done.
class File {
public:
    explicit File(const std::string& path) : m_fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) { }
    ~File()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    bool open() const { return m_fd >= 0; }
    bool read_at(uint64_t offset, void* into, size_t size) const
    {
        return ::pread(m_fd, into, size, static_cast<off_t>(offset)) == static_cast<ssize_t>(size);
    }

private:
    int m_fd;
};

constexpr uint16_t kMostProgramHeaders = 256;
constexpr uint64_t kLargestTable = 16 * 1024 * 1024;

// Where in the file the loaded address lies, by the segment that holds it.
std::optional<uint64_t> file_offset(const std::vector<Elf64_Phdr>& headers, uint64_t address, uint64_t size)
{
    for (const Elf64_Phdr& header : headers) {
        if (header.p_type == PT_LOAD && address >= header.p_vaddr && size <= header.p_filesz &&
            address - header.p_vaddr <= header.p_filesz - size)
            return header.p_offset + (address - header.p_vaddr);
    }
    return std::nullopt;
}

} // namespace

std::vector<std::string> needed_libraries(const std::string& path)
{
    File file(path);
    Elf64_Ehdr elf {};
    if (!file.open() || !file.read_at(0, &elf, sizeof elf) || std::memcmp(elf.e_ident, ELFMAG, SELFMAG) != 0 ||
        elf.e_ident[EI_CLASS] != ELFCLASS64 || elf.e_ident[EI_DATA] != ELFDATA2LSB ||
        elf.e_phentsize != sizeof(Elf64_Phdr) || elf.e_phnum == 0 || elf.e_phnum > kMostProgramHeaders)
        return {};
    std::vector<Elf64_Phdr> headers(elf.e_phnum);
    if (!file.read_at(elf.e_phoff, headers.data(), headers.size() * sizeof(Elf64_Phdr)))
        return {};

    std::vector<Elf64_Dyn> dynamic;
    for (const Elf64_Phdr& header : headers) {
        if (header.p_type != PT_DYNAMIC || header.p_filesz > kLargestTable)
            continue;
        dynamic.resize(header.p_filesz / sizeof(Elf64_Dyn));
        if (!file.read_at(header.p_offset, dynamic.data(), dynamic.size() * sizeof(Elf64_Dyn)))
            return {};
    }
    uint64_t strings_address = 0;
    uint64_t strings_size = 0;
    std::vector<uint64_t> needed;
    for (const Elf64_Dyn& entry : dynamic) {
        if (entry.d_tag == DT_NULL)
            break;
        if (entry.d_tag == DT_STRTAB)
            strings_address = entry.d_un.d_ptr;
        else if (entry.d_tag == DT_STRSZ)
            strings_size = entry.d_un.d_val;
        else if (entry.d_tag == DT_NEEDED)
            needed.push_back(entry.d_un.d_val);
    }
    if (needed.empty() || strings_size == 0 || strings_size > kLargestTable)
        return {};
    std::optional<uint64_t> strings_offset = file_offset(headers, strings_address, strings_size);
    std::string strings(strings_size, '\0');
    if (!strings_offset || !file.read_at(*strings_offset, strings.data(), strings.size()))
        return {};

    std::vector<std::string> names;
    for (uint64_t at : needed) {
        if (at >= strings.size())
            return {};
        names.emplace_back(strings.c_str() + at); // the table is read whole, so a name ends in it or at its end
    }
    return names;
}

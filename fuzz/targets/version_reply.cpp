// The service's version reply, read at every sign-in.
#include "net/version_reply.h"

#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    VersionReply reply = VersionReply::parse(fuzz_support::text(data, size));
    for (const std::string& line : reply.lines)
        version_number(line);
    reply.show_info();
    return 0;
}

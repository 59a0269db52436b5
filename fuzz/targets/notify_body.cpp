// A message-summary NOTIFY body as the SIP layer hands it over: any bytes, zeros included,
// with its length.
#include "fuzz_support.h"
#include "telephony/message_waiting.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string body = message_waiting::body_text(reinterpret_cast<const char*>(data), size);
    fuzz_support::check(body.size() <= size, "body longer than its content");
    std::string problem;
    message_waiting::count(body, &problem);
    return 0;
}

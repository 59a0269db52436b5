// The stored password: what reads back must encipher into a form that reads back the same.
#include "fuzz_support.h"
#include "settings/password_cipher.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::optional<std::string> password = password_cipher::decipher(fuzz_support::text(data, size));
    if (password && password->size() <= 63 && password->find('\0') == std::string::npos &&
        password->find('|') == std::string::npos) {
        auto again = password_cipher::decipher(password_cipher::encipher(*password));
        fuzz_support::check(again && *again == *password, "round trip");
    }
    return 0;
}

#pragma once
#include <string>

namespace test_support {

// A throw-away certificate authority and a server certificate it signed for the IP
// address 127.0.0.1 (and the name "localhost"), written as PEM files into `folder`.
struct TestCertificates {
    std::string ca_file;
    std::string server_certificate;
    std::string server_key;
};

TestCertificates make_test_certificates(const std::string& folder);

} // namespace test_support

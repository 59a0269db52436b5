#pragma once
#include <string>

// The service's deployment values: host addresses, SIP domain, gateway/STUN host,
// voice-mail address and the CA file that signs the service's certificates.
// Read once from $KALVO_DEPLOYMENT, else deployment.ini in the packaged data folder;
// a missing or malformed file logs one line and leaves the built-in defaults.
//
// deployment.ini:
//   [service]
//   web_http=http://127.0.0.1:8080        web host over http
//   secure_http=http://127.0.0.1:8081     secure host over http
//   secure_https=https://127.0.0.1:8443   secure host over https
//   sip_domain=kalvo.test                 SIP domain and digest realm
//   gateway=127.0.0.1                     default outbound proxy and STUN host
//   voicemail=sip:voicemail@kalvo.test    message-summary subscription target
//   ca_file=/path/to/ca.pem               trusted in addition to the system store
struct Deployment {
    std::string web_http = "http://www.kalvo.net";
    std::string secure_http = "http://secure.kalvo.net";
    std::string secure_https = "https://secure.kalvo.net";
    std::string sip_domain = "kalvo.net";
    std::string gateway = "sip.kalvo.net";
    std::string voicemail = "sip:voicemail@kalvo.net";
    std::string ca_file;

    // The process-wide values, read on first use.
    static const Deployment& get();

    // Reads one file over the defaults. `error` receives a reason when the file is
    // missing or malformed (the defaults stay for every key not read).
    static Deployment load_from(const std::string& path, std::string* error = nullptr);

    // Host name of an address such as "http://host:8080/x" ("host").
    static std::string host_of(const std::string& address);
};

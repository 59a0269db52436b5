#include "support/test_certificates.h"

#include <cstdio>
#include <memory>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>
#include <stdexcept>

namespace test_support {
namespace {

using KeyPointer = std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)>;
using CertificatePointer = std::unique_ptr<X509, decltype(&X509_free)>;

KeyPointer new_key()
{
    return KeyPointer(EVP_EC_gen("P-256"), EVP_PKEY_free);
}

void add_extension(X509* certificate, X509* issuer, int nid, const char* value)
{
    X509V3_CTX context;
    X509V3_set_ctx(&context, issuer, certificate, nullptr, nullptr, 0);
    X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value);
    if (!extension)
        throw std::runtime_error("certificate extension");
    X509_add_ext(certificate, extension, -1);
    X509_EXTENSION_free(extension);
}

CertificatePointer new_certificate(
    EVP_PKEY* key, const char* common_name, long serial, X509* issuer, EVP_PKEY* issuer_key)
{
    CertificatePointer certificate(X509_new(), X509_free);
    X509* raw = certificate.get();
    X509_set_version(raw, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(raw), serial);
    X509_gmtime_adj(X509_getm_notBefore(raw), -3600);
    X509_gmtime_adj(X509_getm_notAfter(raw), 86400);
    X509_set_pubkey(raw, key);
    X509_NAME* name = X509_get_subject_name(raw);
    X509_NAME_add_entry_by_txt(
        name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>(common_name), -1, -1, 0);
    X509* signer = issuer ? issuer : raw;
    X509_set_issuer_name(raw, X509_get_subject_name(signer));
    if (issuer) {
        add_extension(raw, signer, NID_basic_constraints, "critical,CA:FALSE");
        add_extension(raw, signer, NID_subject_alt_name, "IP:127.0.0.1,DNS:localhost");
        add_extension(raw, signer, NID_ext_key_usage, "serverAuth");
    } else {
        add_extension(raw, signer, NID_basic_constraints, "critical,CA:TRUE");
        add_extension(raw, signer, NID_key_usage, "critical,keyCertSign,cRLSign");
        add_extension(raw, signer, NID_subject_key_identifier, "hash");
    }
    if (!X509_sign(raw, issuer_key, EVP_sha256()))
        throw std::runtime_error("certificate signature");
    return certificate;
}

template <typename Write> void write_pem(const std::string& path, Write write)
{
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (!file)
        throw std::runtime_error("cannot write " + path);
    bool written = write(file);
    std::fclose(file);
    if (!written)
        throw std::runtime_error("cannot write " + path);
}

} // namespace

TestCertificates make_test_certificates(const std::string& folder)
{
    KeyPointer ca_key = new_key();
    KeyPointer server_key = new_key();
    CertificatePointer ca = new_certificate(ca_key.get(), "Kalvo Test CA", 1, nullptr, ca_key.get());
    CertificatePointer server = new_certificate(server_key.get(), "127.0.0.1", 2, ca.get(), ca_key.get());

    TestCertificates files{folder + "/ca.pem", folder + "/server.pem", folder + "/server.key"};
    write_pem(files.ca_file, [&](std::FILE* f) { return PEM_write_X509(f, ca.get()) == 1; });
    write_pem(files.server_certificate, [&](std::FILE* f) { return PEM_write_X509(f, server.get()) == 1; });
    write_pem(files.server_key, [&](std::FILE* f) {
        return PEM_write_PrivateKey(f, server_key.get(), nullptr, nullptr, 0, nullptr, nullptr) == 1;
    });
    return files;
}

} // namespace test_support

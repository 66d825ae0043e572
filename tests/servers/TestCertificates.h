#pragma once

#include <string>
#include <vector>

#include "TestSupport.h"

namespace quillory::test {

// A throw-away certificate authority and three server certificates, made with the openssl command
// in a temporary folder. Point SSL_CERT_FILE at CaFile() to make the system trust the authority.
class TestCertificates {
public:
    enum class Kind {
        Trusted,   // for localhost and 127.0.0.1, signed by the authority
        WrongName, // for wrong-name.invalid only, signed by the authority
        Untrusted, // for localhost and 127.0.0.1, signed by an authority nobody trusts
    };

    TestCertificates();

    const std::string& CaFile() const { return caFile; }
    // The arguments that make a server script of this folder serve TLS with that certificate.
    std::vector<std::string> ServerArguments(Kind kind) const;

private:
    void Run(const std::vector<std::string>& arguments) const;
    void MakeAuthority(const std::string& name) const;
    void MakeLeaf(const std::string& name, const std::string& authority, const std::string& altNames) const;

    TempDir dir;
    std::string caFile;
};

} // namespace quillory::test

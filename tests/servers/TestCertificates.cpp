#include "TestCertificates.h"

#include <stdexcept>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace quillory::test {

namespace {

const char* const kConfig = R"([req]
distinguished_name = dn
[dn]
[authority]
basicConstraints = critical,CA:TRUE
keyUsage = critical,keyCertSign,cRLSign
subjectKeyIdentifier = hash
)";

} // namespace

TestCertificates::TestCertificates() : caFile(dir.File("ca.pem")) {
    WriteFile(dir.File("openssl.cnf"), kConfig);
    MakeAuthority("ca");
    MakeAuthority("stranger");
    MakeLeaf("trusted", "ca", "DNS:localhost,IP:127.0.0.1");
    MakeLeaf("wrong-name", "ca", "DNS:wrong-name.invalid");
    MakeLeaf("untrusted", "stranger", "DNS:localhost,IP:127.0.0.1");
}

std::vector<std::string> TestCertificates::ServerArguments(Kind kind) const {
    std::string name = kind == Kind::Trusted ? "trusted" : kind == Kind::WrongName ? "wrong-name" : "untrusted";
    return {"--cert", dir.File(name + ".pem"), "--key", dir.File(name + ".key")};
}

void TestCertificates::Run(const std::vector<std::string>& arguments) const {
    std::vector<std::string> words{QUILLORY_OPENSSL};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    std::string log = dir.File("openssl.log");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    pid_t pid = -1;
    int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (spawned != 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("TestCertificates: openssl " + arguments[0] + " failed: " + ReadFile(log));
}

void TestCertificates::MakeAuthority(const std::string& name) const {
    Run({"req", "-x509", "-config", dir.File("openssl.cnf"), "-extensions", "authority", "-newkey", "ec", "-pkeyopt",
         "ec_paramgen_curve:prime256v1", "-nodes", "-keyout", dir.File(name + ".key"), "-out", dir.File(name + ".pem"),
         "-days", "2", "-subj", "/CN=Quillory test authority " + name});
}

void TestCertificates::MakeLeaf(const std::string& name, const std::string& authority,
                                const std::string& altNames) const {
    WriteFile(dir.File(name + ".ext"), "basicConstraints = CA:FALSE\n"
                                       "keyUsage = critical,digitalSignature\n"
                                       "extendedKeyUsage = serverAuth\n"
                                       "authorityKeyIdentifier = keyid\n"
                                       "subjectAltName = " +
                                           altNames + "\n");
    Run({"req", "-new", "-config", dir.File("openssl.cnf"), "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
         "-nodes", "-keyout", dir.File(name + ".key"), "-out", dir.File(name + ".csr"), "-subj", "/CN=" + name});
    Run({"x509", "-req", "-in", dir.File(name + ".csr"), "-CA", dir.File(authority + ".pem"), "-CAkey",
         dir.File(authority + ".key"), "-CAserial", dir.File(authority + ".srl"), "-CAcreateserial", "-out",
         dir.File(name + ".pem"), "-days", "2", "-extfile", dir.File(name + ".ext")});
}

} // namespace quillory::test

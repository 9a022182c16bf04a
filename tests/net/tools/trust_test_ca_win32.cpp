// Makes the fake engine's test certificate authority trusted in the Windows (Wine) prefix it
// runs in: adds the CA of a PEM file to the local machine's Root store, so that WinINet
// verifies the fake engine's certificates the way it verifies any other. Test CAs of earlier
// runs are removed once they have expired; those of engines running now stay trusted.
// Usage: trust_test_ca CA.pem   Exit status 0 on success.
#include <windows.h>
#include <wincrypt.h>

#include <cstdio>
#include <cwchar>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

// How every test CA's name begins (tools/fake_engine/tls.py adds a random suffix).
constexpr wchar_t TEST_CA_NAME[] = L"vexor fake engine test CA";

bool readFile(const wchar_t* path, std::string& contents) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    contents.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return true;
}

std::vector<BYTE> derOf(const std::string& pem) {
    DWORD size = 0;
    if (!CryptStringToBinaryA(pem.c_str(), static_cast<DWORD>(pem.size()), CRYPT_STRING_BASE64HEADER,
                              nullptr, &size, nullptr, nullptr))
        return {};
    std::vector<BYTE> der(size);
    if (!CryptStringToBinaryA(pem.c_str(), static_cast<DWORD>(pem.size()), CRYPT_STRING_BASE64HEADER,
                              der.data(), &size, nullptr, nullptr))
        return {};
    der.resize(size);
    return der;
}

bool isExpiredTestCa(PCCERT_CONTEXT cert) {
    wchar_t name[256] = L"";
    CertGetNameStringW(cert, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, name, 256);
    if (std::wcsncmp(name, TEST_CA_NAME, std::wcslen(TEST_CA_NAME)) != 0) return false;
    return CertVerifyTimeValidity(nullptr, cert->pCertInfo) > 0;
}

void removeExpiredTestCas(HCERTSTORE store) {
    std::vector<PCCERT_CONTEXT> expired;
    PCCERT_CONTEXT cert = nullptr;
    while ((cert = CertEnumCertificatesInStore(store, cert)))
        if (isExpiredTestCa(cert)) expired.push_back(CertDuplicateCertificateContext(cert));
    for (PCCERT_CONTEXT old : expired) CertDeleteCertificateFromStore(old);  // frees old
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: trust_test_ca CA.pem\n");
        return 2;
    }
    std::string pem;
    if (!readFile(argv[1], pem)) {
        std::fprintf(stderr, "trust_test_ca: cannot read %ls\n", argv[1]);
        return 1;
    }
    const std::vector<BYTE> der = derOf(pem);
    if (der.empty()) {
        std::fprintf(stderr, "trust_test_ca: no PEM certificate in %ls\n", argv[1]);
        return 1;
    }
    // The registry store itself: Wine's "Root" system store ignores what is added to it.
    HCERTSTORE root = CertOpenStore(CERT_STORE_PROV_SYSTEM_REGISTRY_W, 0, 0,
                                    CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root");
    if (!root) {
        std::fprintf(stderr, "trust_test_ca: cannot open the Root store (%lu)\n", GetLastError());
        return 1;
    }
    removeExpiredTestCas(root);
    const BOOL added = CertAddEncodedCertificateToStore(root, X509_ASN_ENCODING, der.data(),
                                                        static_cast<DWORD>(der.size()),
                                                        CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
    const DWORD error = GetLastError();
    CertCloseStore(root, 0);
    if (!added) {
        std::fprintf(stderr, "trust_test_ca: the CA was not added (%lu)\n", error);
        return 1;
    }
    return 0;
}

#include <windows.h>

#include <wincrypt.h>

#include <fstream>
#include <sstream>
#include <vector>

#include "support/fixture.h"
#include "support/platform.h"

namespace bcnk::test {

bool PrepareHttpClient(const std::string& caFile, std::string& reason) {
    // On Windows itself adding a root asks the user in a dialog; the suites run under Wine.
    if (!RunningUnderWine()) {
        reason = "trusting the test authority is only automated under Wine";
        return false;
    }
    std::ifstream file(LocalPath(caFile), std::ios::binary);
    std::ostringstream pem;
    pem << file.rdbuf();
    const std::string text = pem.str();

    DWORD size = 0;
    if (!CryptStringToBinaryA(text.c_str(), static_cast<DWORD>(text.size()),
                              CRYPT_STRING_BASE64HEADER, nullptr, &size, nullptr, nullptr)) {
        reason = "cannot read the test authority " + caFile;
        return false;
    }
    std::vector<BYTE> der(size);
    CryptStringToBinaryA(text.c_str(), static_cast<DWORD>(text.size()), CRYPT_STRING_BASE64HEADER,
                         der.data(), &size, nullptr, nullptr);

    // The current user's root store is what the platform's chain verification consults, so
    // the product keeps full verification and still accepts the test server.
    HCERTSTORE store =
        CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER, L"ROOT");
    if (store == nullptr) {
        reason = "cannot open the current user's root certificate store";
        return false;
    }
    const BOOL added = CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING, der.data(), size,
                                                        CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
    CertCloseStore(store, 0);
    if (!added) {
        reason = "cannot add the test authority to the root store";
        return false;
    }
    return true;
}

// Wine maps the Linux root to drive Z:.
std::string LocalPath(const std::string& path) {
    if (path.empty() || path[0] != '/') {
        return path;
    }
    std::string local = "Z:" + path;
    for (char& c : local) {
        if (c == '/') {
            c = '\\';
        }
    }
    return local;
}

}  // namespace bcnk::test

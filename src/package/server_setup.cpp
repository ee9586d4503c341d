#include "package/server_setup.h"

#include "net/url.h"
#include "package/knowledge_graph.h"
#include "scan/usage_preferences.h"

namespace bcnk {
namespace {

constexpr char16_t kDescribedBy[] = u"</llms.txt>; rel=\"describedby\"";

// Characters every one of the four formats takes literally inside a quoted value: nginx
// expands "$", Apache's mod_headers reads "%" as a format, and quotes and back-slashes end or
// escape the value.
bool CarriesLiterally(const Text& value) {
    for (const char16_t unit : value) {
        if (unit < 0x21 || unit > 0x7E || unit == u'$' || unit == u'%' || unit == u'"' ||
            unit == u'\\') {
            return false;
        }
    }
    return !value.empty();
}

Text Header(const ServerSetup& setup, const Text& lead, const Text& between,
            const Text& trail) {
    Text out;
    for (const ServerHeader& header : setup.headers) {
        out += lead + header.name + between + header.value + trail;
    }
    return out;
}

Text OmittedNote(const ServerSetup& setup, const Text& comment) {
    if (setup.omittedTdmPolicy.empty()) {
        return Text();
    }
    return comment + u"tdm-policy is left out: its address (" + setup.omittedTdmPolicy +
           u") holds characters\n" + comment +
           u"this file cannot carry as written. Add the header by hand, quoted as the server "
           u"needs.\n";
}

// nginx and Apache want quotes inside a value escaped with a back-slash.
Text BackslashQuoted(const Text& value) {
    Text out = u"\"";
    for (const char16_t unit : value) {
        if (unit == u'"' || unit == u'\\') {
            out += u'\\';
        }
        out += unit;
    }
    return out + u"\"";
}

// The host as a comment may show it: a line break in it would end the comment and start a
// directive of its own.
Text CommentText(const Text& text) {
    Text out = text;
    for (char16_t& unit : out) {
        if (unit < 0x20 || unit == 0x7F || unit == 0x85 || unit == 0x2028 || unit == 0x2029) {
            unit = u' ';
        }
    }
    return out;
}

}  // namespace

ServerSetup ServerSetupFor(const ScanResult& scan, const PackageForm& form) {
    ServerSetup setup;
    const CrawlerPermissions permissions{form.allowTraining, form.allowCitation,
                                         form.allowSummarisation};
    setup.headers.push_back({u"Content-Usage", Utf8ToWide(ContentUsageValue(permissions))});
    if (!form.allowTraining) {
        // The same reservation and policy tdmrep.json declares.
        setup.headers.push_back({u"tdm-reservation", u"1"});
        const Text policy = UriEscape(FindPrivacyPage(scan));
        if (CarriesLiterally(policy)) {
            setup.headers.push_back({u"tdm-policy", policy});
        } else {
            setup.omittedTdmPolicy = policy;
        }
    }
    setup.headers.push_back({u"Link", kDescribedBy});
    return setup;
}

Text MakeNginxSnippet(const ScanResult& scan, const PackageForm& form) {
    const ServerSetup setup = ServerSetupFor(scan, form);
    Text out;
    out += u"# Beaconsmith - nginx set-up for " + CommentText(scan.host) + u"\n";
    out += u"# Where it goes: copy this file to /etc/nginx/snippets/ai-discovery.conf and add\n";
    out += u"#     include snippets/ai-discovery.conf;\n";
    out += u"# inside the server { } block of this site, then run \"nginx -t\" and reload nginx.\n";
    out += u"# A location { } that has add_header lines of its own does not inherit these:\n";
    out += u"# repeat them there. The two locations below serve files from the site's root;\n";
    out += u"# merge them into yours if the site's files are proxied or rewritten.\n";
    out += OmittedNote(setup, u"# ");
    out += u"\n";
    for (const ServerHeader& header : setup.headers) {
        out += u"add_header " + header.name + u" " + BackslashQuoted(header.value) + u" always;\n";
    }
    out += u"\n";
    out += u"location ~ ^/llms(-full|-lite)?\\.txt$ {\n";
    out += u"    types { }\n";
    out += u"    default_type \"" + Text(kPlainTextType) + u"\";\n";
    out += u"}\n";
    out += u"\n";
    out += u"location ~* \\.md$ {\n";
    out += u"    types { }\n";
    out += u"    default_type \"" + Text(kMarkdownType) + u"\";\n";
    out += u"}\n";
    return out;
}

Text MakeHtaccess(const ScanResult& scan, const PackageForm& form) {
    const ServerSetup setup = ServerSetupFor(scan, form);
    Text out;
    out += u"# Beaconsmith - Apache set-up for " + CommentText(scan.host) + u"\n";
    out += u"# Where it goes: .htaccess in your web root (the folder your home page is served\n";
    out += u"# from). If one is already there, add these lines to it. Needs mod_headers and\n";
    out += u"# mod_mime, and \"AllowOverride FileInfo\" for the folder.\n";
    out += OmittedNote(setup, u"# ");
    out += u"\n";
    out += u"<IfModule mod_mime.c>\n";
    out += u"    AddType text/markdown .md\n";
    out += u"    AddCharset utf-8 .md\n";
    out += u"    <FilesMatch \"^llms(-full|-lite)?\\.txt$\">\n";
    out += u"        ForceType \"" + Text(kPlainTextType) + u"\"\n";
    out += u"    </FilesMatch>\n";
    out += u"</IfModule>\n";
    out += u"\n";
    out += u"<IfModule mod_headers.c>\n";
    for (const ServerHeader& header : setup.headers) {
        // A Link the site's software sends stays; ours is added beside it.
        const Text action = header.name == u"Link" ? u"append" : u"set";
        out += u"    Header always " + action + u" " + header.name + u" " +
               BackslashQuoted(header.value) + u"\n";
    }
    out += u"</IfModule>\n";
    return out;
}

Text MakeIisWebConfig(const ScanResult& scan, const PackageForm& form) {
    const ServerSetup setup = ServerSetupFor(scan, form);
    Text out;
    out += u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    // An XML comment may not hold "--", which punycode hosts ("xn--") do: no host here.
    out += u"<!-- Beaconsmith - IIS set-up for this site.\n";
    out += u"     Where it goes: the site's root folder, as web.config. If the site has a\n";
    out += u"     web.config, merge the elements below into its <configuration> element. -->\n";
    if (!setup.omittedTdmPolicy.empty()) {
        out += u"<!-- tdm-policy is left out: its address holds characters this file cannot "
               u"carry as written; add it by hand. -->\n";
    }
    out += u"<configuration>\n";
    out += u"  <system.webServer>\n";
    out += u"    <staticContent>\n";
    out += u"      <remove fileExtension=\".md\" />\n";
    out += u"      <mimeMap fileExtension=\".md\" mimeType=\"" + XmlEscape(kMarkdownType) +
           u"\" />\n";
    out += u"    </staticContent>\n";
    out += u"    <httpProtocol>\n";
    out += u"      <customHeaders>\n";
    for (const ServerHeader& header : setup.headers) {
        out += u"        <remove name=\"" + XmlEscape(header.name) + u"\" />\n";
        out += u"        <add name=\"" + XmlEscape(header.name) + u"\" value=\"" +
               XmlEscape(header.value) + u"\" />\n";
    }
    out += u"      </customHeaders>\n";
    out += u"    </httpProtocol>\n";
    out += u"  </system.webServer>\n";
    for (const char16_t* name : kTextFileNames) {
        out += u"  <location path=\"" + Text(name) + u"\">\n";
        out += u"    <system.webServer>\n";
        out += u"      <staticContent>\n";
        out += u"        <remove fileExtension=\".txt\" />\n";
        out += u"        <mimeMap fileExtension=\".txt\" mimeType=\"" + XmlEscape(kPlainTextType) +
               u"\" />\n";
        out += u"      </staticContent>\n";
        out += u"    </system.webServer>\n";
        out += u"  </location>\n";
    }
    out += u"</configuration>\n";
    return out;
}

Text MakeHeadersFile(const ScanResult& scan, const PackageForm& form) {
    const ServerSetup setup = ServerSetupFor(scan, form);
    Text out;
    out += u"# Beaconsmith - response headers for " + CommentText(scan.host) + u"\n";
    out += u"# Where it goes: the root of the folder a static host publishes, as _headers\n";
    out += u"# (hosts that read this file, such as Netlify and Cloudflare Pages).\n";
    out += OmittedNote(setup, u"# ");
    out += u"\n";
    out += u"/*\n";
    out += Header(setup, u"  ", u": ", u"\n");
    for (const char16_t* name : kTextFileNames) {
        out += u"\n/" + Text(name) + u"\n";
        out += u"  Content-Type: " + Text(kPlainTextType) + u"\n";
    }
    out += u"\n/*.md\n";
    out += u"  Content-Type: " + Text(kMarkdownType) + u"\n";
    return out;
}

std::vector<PackageFile> ServerSetupFiles(const ScanResult& scan, const PackageForm& form) {
    const Text folder = Text(kServerFolder) + u"/";
    return {
        {folder + u"nginx-ai-discovery.conf", MakeNginxSnippet(scan, form)},
        {folder + u".htaccess", MakeHtaccess(scan, form)},
        {folder + u"web.config", MakeIisWebConfig(scan, form)},
        {folder + u"_headers", MakeHeadersFile(scan, form)},
    };
}

}  // namespace bcnk

#include "workbookfile.h"

#include <zip.h>

#include <map>
#include <stdexcept>

namespace {

const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
const std::string kMain = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
const std::string kRel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
const std::string kSml = "application/vnd.openxmlformats-officedocument.spreadsheetml.";

std::string relationship(const std::string& id, const std::string& type, const std::string& target)
{
    return "<Relationship Id=\"" + id + "\" Type=\"" + kRel + "/" + type + "\" Target=\"" + target + "\"/>";
}

std::string relationships(const std::string& links)
{
    return kDeclaration + "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
           + links + "</Relationships>";
}

std::string worksheet(bool protectedContents)
{
    return kDeclaration + "<worksheet xmlns=\"" + kMain + "\"><sheetData/>"
           + (protectedContents ? "<sheetProtection sheet=\"1\" objects=\"1\" scenarios=\"1\"/>" : "")
           + "</worksheet>";
}

std::string chartsheet()
{
    return kDeclaration + "<chartsheet xmlns=\"" + kMain + "\"><sheetViews><sheetView workbookViewId=\"0\"/>"
           + "</sheetViews></chartsheet>";
}

void writeZip(const std::filesystem::path& file, const std::map<std::string, std::string>& parts)
{
    int error = 0;
    zip_t* archive = zip_open(file.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive)
        throw std::runtime_error("cannot write " + file.string());
    for (const auto& [name, bytes] : parts) {
        zip_source_t* source = zip_source_buffer(archive, bytes.data(), bytes.size(), 0);
        if (!source || zip_file_add(archive, name.c_str(), source, ZIP_FL_OVERWRITE) < 0) {
            zip_source_free(source);
            zip_discard(archive);
            throw std::runtime_error("cannot add " + name + " to " + file.string());
        }
    }
    if (zip_close(archive) != 0)
        throw std::runtime_error("cannot close " + file.string());
}

}  // namespace

void writeWorkbook(const std::filesystem::path& file, const std::vector<SheetSpec>& sheets)
{
    std::map<std::string, std::string> parts;
    std::string types = kDeclaration
                        + "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                          "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
                          "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
                          "<Override PartName=\"/xl/workbook.xml\" ContentType=\"" + kSml + "sheet.main+xml\"/>";
    std::string sheetList, links;
    int worksheets = 0, charts = 0;
    for (size_t i = 0; i < sheets.size(); ++i) {
        const SheetSpec& sheet = sheets[i];
        const std::string id = "rId" + std::to_string(i + 1);
        const bool chart = sheet.kind == SheetSpec::ChartSheet;
        const std::string part = chart ? "chartsheets/sheet" + std::to_string(++charts) + ".xml"
                                       : "worksheets/sheet" + std::to_string(++worksheets) + ".xml";
        parts["xl/" + part] = chart ? chartsheet() : worksheet(sheet.protectedContents);
        types += "<Override PartName=\"/xl/" + part + "\" ContentType=\"" + kSml
                 + (chart ? "chartsheet+xml" : "worksheet+xml") + "\"/>";
        sheetList += "<sheet name=\"" + sheet.name + "\" sheetId=\"" + std::to_string(i + 1) + "\""
                     + (sheet.state == "visible" ? "" : " state=\"" + sheet.state + "\"") + " r:id=\"" + id + "\"/>";
        links += relationship(id, chart ? "chartsheet" : "worksheet", part);
    }
    parts["[Content_Types].xml"] = types + "</Types>";
    parts["_rels/.rels"] = relationships(relationship("rId1", "officeDocument", "xl/workbook.xml"));
    parts["xl/workbook.xml"] = kDeclaration + "<workbook xmlns=\"" + kMain + "\" xmlns:r=\"" + kRel + "\"><sheets>"
                               + sheetList + "</sheets></workbook>";
    parts["xl/_rels/workbook.xml.rels"] = relationships(links);
    writeZip(file, parts);
}

#include "sheettestsupport.h"

#include "support/requiredprograms.h"

#include <zip.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace sheettest {

namespace {

const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n";
const std::string kMain = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
const std::string kRel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
const std::string kSml = "application/vnd.openxmlformats-officedocument.spreadsheetml.";
const std::string kOfficeDocument = "application/vnd.openxmlformats-officedocument.";

// A relationships part; link n (type, target) gets the id rId<n>, n from 1.
std::string relationships(const std::vector<std::pair<std::string, std::string>>& links)
{
    std::string text = kDeclaration + "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    for (size_t i = 0; i < links.size(); ++i)
        text += "<Relationship Id=\"rId" + std::to_string(i + 1) + "\" Type=\"" + links[i].first + "\" Target=\""
                + links[i].second + "\"/>";
    return text + "</Relationships>";
}

std::string rel(const std::string& type)
{
    return kRel + "/" + type;
}

// The content types of the fixture's parts, by the start of their names.
const std::pair<std::string, std::string> kOverrides[] = {
    {"xl/workbook.xml", kSml + "sheet.main+xml"},
    {"xl/worksheets/sheet", kSml + "worksheet+xml"},
    {"xl/chartsheets/sheet", kSml + "chartsheet+xml"},
    {"xl/drawings/drawing", kOfficeDocument + "drawing+xml"},
    {"xl/charts/chart", kOfficeDocument + "drawingml.chart+xml"},
    {"xl/styles.xml", kSml + "styles+xml"},
    {"xl/sharedStrings.xml", kSml + "sharedStrings+xml"},
    {"xl/calcChain.xml", kSml + "calcChain+xml"},
    {"xl/pivotTables/pivotTable", kSml + "pivotTable+xml"},
    {"xl/pivotCache/pivotCacheDefinition", kSml + "pivotCacheDefinition+xml"},
    {"docProps/core.xml", "application/vnd.openxmlformats-package.core-properties+xml"},
    {"docProps/app.xml", kOfficeDocument + "extended-properties+xml"}};

std::string contentTypes(const Parts& parts)
{
    std::string text = kDeclaration
                       + "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                         "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
                         "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
                         "<Default Extension=\"bin\" ContentType=\"application/octet-stream\"/>";
    for (const auto& [part, bytes] : parts) {
        for (const auto& [start, type] : kOverrides) {
            if (part.starts_with(start))
                text += "<Override PartName=\"/" + part + "\" ContentType=\"" + type + "\"/>";
        }
    }
    return text + "</Types>";
}

std::string workbook(bool pivot)
{
    std::string text = kDeclaration + "<workbook xmlns=\"" + kMain + "\" xmlns:r=\"" + kRel
                       + "\"><!-- written by the fixture --><workbookPr defaultThemeVersion=\"124226\"/>"
                         "<bookViews><workbookView xWindow=\"0\" yWindow=\"0\" windowWidth=\"16000\" "
                         "windowHeight=\"9000\" activeTab=\"0\"/></bookViews><sheets>"
                         "<sheet name=\"Data\" sheetId=\"1\" r:id=\"rId1\"/>"
                         "<sheet name=\"Calc\" sheetId=\"2\" state=\"hidden\" r:id=\"rId2\"/>"
                         "<sheet name=\"Locked\" sheetId=\"3\" r:id=\"rId3\"/>"
                         "<sheet name=\"Secret\" sheetId=\"4\" state=\"veryHidden\" r:id=\"rId4\"/>"
                         "<sheet name=\"Chart1\" sheetId=\"5\" r:id=\"rId5\"/>";
    if (pivot)
        text += "<sheet name=\"Pivot\" sheetId=\"6\" r:id=\"rId10\"/>";
    text += "</sheets><definedNames><definedName name=\"_xlnm.Print_Area\" localSheetId=\"2\">Locked!$A$1:$B$2"
            "</definedName><definedName name=\"Total\">Data!$B$4</definedName></definedNames>"
            "<calcPr calcId=\"191029\"/>";
    if (pivot)
        text += "<pivotCaches><pivotCache cacheId=\"1\" r:id=\"rId11\"/></pivotCaches>";
    return text + "</workbook>";
}

std::string workbookRels(bool pivot)
{
    std::vector<std::pair<std::string, std::string>> links = {
        {rel("worksheet"), "worksheets/sheet1.xml"},  {rel("worksheet"), "worksheets/sheet2.xml"},
        {rel("worksheet"), "worksheets/sheet3.xml"},  {rel("worksheet"), "worksheets/sheet4.xml"},
        {rel("chartsheet"), "chartsheets/sheet1.xml"}, {rel("styles"), "styles.xml"},
        {rel("sharedStrings"), "sharedStrings.xml"},   {rel("calcChain"), "calcChain.xml"},
        {"http://example.com/relationships/somethingElse", "unknown/thing.bin"}};
    if (pivot) {
        links.push_back({rel("worksheet"), "worksheets/sheet5.xml"});                    // rId10
        links.push_back({rel("pivotCacheDefinition"), "pivotCache/pivotCacheDefinition1.xml"});  // rId11
    }
    return relationships(links);
}

std::string worksheet(const std::string& views, const std::string& data, const std::string& tail)
{
    return kDeclaration + "<worksheet xmlns=\"" + kMain + "\" xmlns:r=\"" + kRel + "\">" + views
           + "<sheetFormatPr defaultRowHeight=\"15\"/>" + data
           + "<pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" footer=\"0.3\"/>"
           + tail + "</worksheet>";
}

std::string dataSheet()
{
    return worksheet(
        "<dimension ref=\"A1:B4\"/><sheetViews><sheetView tabSelected=\"1\" workbookViewId=\"0\"/></sheetViews>",
        "<cols><col min=\"1\" max=\"2\" width=\"12.7109375\" customWidth=\"1\"/></cols><sheetData>"
        "<row r=\"1\" spans=\"1:2\"><c r=\"A1\" s=\"1\" t=\"s\"><v>0</v></c><c r=\"B1\" s=\"1\" t=\"s\"><v>1</v></c></row>"
        "<row r=\"2\" spans=\"1:2\"><c r=\"A2\" t=\"s\"><v>2</v></c><c r=\"B2\" s=\"2\"><v>10</v></c></row>"
        "<row r=\"3\" spans=\"1:2\"><c r=\"A3\" t=\"s\"><v>3</v></c><c r=\"B3\" s=\"2\"><v>32</v></c></row>"
        "<row r=\"4\" spans=\"1:2\"><c r=\"A4\" s=\"1\" t=\"s\"><v>4</v></c><c r=\"B4\" s=\"2\"><f>SUM(B2:B3)</f>"
        "<v>42</v></c></row></sheetData>",
        "<drawing r:id=\"rId1\"/>");
}

std::string chart(const std::string& title)
{
    return kDeclaration
           + "<c:chartSpace xmlns:c=\"http://schemas.openxmlformats.org/drawingml/2006/chart\" "
             "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" xmlns:r=\""
           + kRel + "\"><c:chart><c:title><c:tx><c:rich><a:bodyPr/><a:p><a:r><a:t>" + title
           + "</a:t></a:r></a:p></c:rich></c:tx><c:overlay val=\"0\"/></c:title><c:plotArea><c:layout/>"
             "<c:barChart><c:barDir val=\"col\"/><c:grouping val=\"clustered\"/><c:varyColors val=\"0\"/><c:ser>"
             "<c:idx val=\"0\"/><c:order val=\"0\"/><c:cat><c:strRef><c:f>Data!$A$2:$A$3</c:f></c:strRef></c:cat>"
             "<c:val><c:numRef><c:f>Data!$B$2:$B$3</c:f></c:numRef></c:val></c:ser><c:axId val=\"1\"/>"
             "<c:axId val=\"2\"/></c:barChart><c:catAx><c:axId val=\"1\"/><c:scaling><c:orientation "
             "val=\"minMax\"/></c:scaling><c:delete val=\"0\"/><c:axPos val=\"b\"/><c:crossAx val=\"2\"/></c:catAx>"
             "<c:valAx><c:axId val=\"2\"/><c:scaling><c:orientation val=\"minMax\"/></c:scaling><c:delete "
             "val=\"0\"/><c:axPos val=\"l\"/><c:crossAx val=\"1\"/></c:valAx></c:plotArea></c:chart></c:chartSpace>";
}

std::string graphicFrame()
{
    return "<xdr:graphicFrame macro=\"\"><xdr:nvGraphicFramePr><xdr:cNvPr id=\"2\" name=\"Chart 1\"/>"
           "<xdr:cNvGraphicFramePr/></xdr:nvGraphicFramePr><xdr:xfrm><a:off x=\"0\" y=\"0\"/><a:ext cx=\"0\" "
           "cy=\"0\"/></xdr:xfrm><a:graphic><a:graphicData uri=\"http://schemas.openxmlformats.org/drawingml/2006/"
           "chart\"><c:chart xmlns:c=\"http://schemas.openxmlformats.org/drawingml/2006/chart\" xmlns:r=\""
           + kRel + "\" r:id=\"rId1\"/></a:graphicData></a:graphic></xdr:graphicFrame><xdr:clientData/>";
}

std::string drawing(bool sheetChart)
{
    const std::string anchor =
        sheetChart ? "<xdr:absoluteAnchor><xdr:pos x=\"0\" y=\"0\"/><xdr:ext cx=\"8666000\" cy=\"6293000\"/>"
                         + graphicFrame() + "</xdr:absoluteAnchor>"
                   : "<xdr:twoCellAnchor><xdr:from><xdr:col>3</xdr:col><xdr:colOff>0</xdr:colOff><xdr:row>1"
                     "</xdr:row><xdr:rowOff>0</xdr:rowOff></xdr:from><xdr:to><xdr:col>9</xdr:col><xdr:colOff>0"
                     "</xdr:colOff><xdr:row>15</xdr:row><xdr:rowOff>0</xdr:rowOff></xdr:to>"
                         + graphicFrame() + "</xdr:twoCellAnchor>";
    return kDeclaration
           + "<xdr:wsDr xmlns:xdr=\"http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing\" "
             "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\">"
           + anchor + "</xdr:wsDr>";
}

std::string styles()
{
    return kDeclaration + "<styleSheet xmlns=\"" + kMain
           + "\"><numFmts count=\"1\"><numFmt numFmtId=\"164\" formatCode=\"0.0\"/></numFmts>"
             "<fonts count=\"2\"><font><sz val=\"11\"/><name val=\"Liberation Sans\"/></font><font><b/><sz "
             "val=\"11\"/><name val=\"Liberation Sans\"/></font></fonts><fills count=\"2\"><fill><patternFill "
             "patternType=\"none\"/></fill><fill><patternFill patternType=\"gray125\"/></fill></fills>"
             "<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border></borders>"
             "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellStyleXfs>"
             "<cellXfs count=\"3\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/>"
             "<xf numFmtId=\"0\" fontId=\"1\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyFont=\"1\"/>"
             "<xf numFmtId=\"164\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyNumberFormat=\"1\"/>"
             "</cellXfs><cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/></cellStyles>"
             "</styleSheet>";
}

void addSheets(Parts& parts)
{
    parts["xl/worksheets/sheet1.xml"] = dataSheet();
    parts["xl/worksheets/_rels/sheet1.xml.rels"] =
        relationships({{rel("drawing"), "../drawings/drawing1.xml"}});
    parts["xl/worksheets/sheet2.xml"] = worksheet(
        "<dimension ref=\"A1\"/><sheetViews><sheetView workbookViewId=\"0\"/></sheetViews>",
        "<sheetData><row r=\"1\"><c r=\"A1\"><f>Data!B4*2</f><v>84</v></c></row></sheetData>", "");
    parts["xl/worksheets/sheet3.xml"] = worksheet(
        "<dimension ref=\"A1:B2\"/><sheetViews><sheetView workbookViewId=\"0\"/></sheetViews>",
        "<sheetData><row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>Do not touch</t></is></c><c r=\"B1\"><v>7</v>"
        "</c></row></sheetData><sheetProtection sheet=\"1\" objects=\"1\" scenarios=\"1\"/>",
        "");
    parts["xl/worksheets/sheet4.xml"] = worksheet(
        "<sheetViews><sheetView workbookViewId=\"0\"/></sheetViews>",
        "<sheetData><row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>marker</t></is></c></row></sheetData>", "");
    parts["xl/chartsheets/sheet1.xml"] = kDeclaration + "<chartsheet xmlns=\"" + kMain + "\" xmlns:r=\"" + kRel
                                         + "\"><sheetPr/><sheetViews><sheetView workbookViewId=\"0\"/></sheetViews>"
                                           "<drawing r:id=\"rId1\"/></chartsheet>";
    parts["xl/chartsheets/_rels/sheet1.xml.rels"] =
        relationships({{rel("drawing"), "../drawings/drawing2.xml"}});
    parts["xl/drawings/drawing1.xml"] = drawing(false);
    parts["xl/drawings/drawing2.xml"] = drawing(true);
    parts["xl/drawings/_rels/drawing1.xml.rels"] = relationships({{rel("chart"), "../charts/chart1.xml"}});
    parts["xl/drawings/_rels/drawing2.xml.rels"] = relationships({{rel("chart"), "../charts/chart2.xml"}});
    parts["xl/charts/chart1.xml"] = chart("Amounts");
    parts["xl/charts/chart2.xml"] = chart("Amounts again");
}

void addPivot(Parts& parts)
{
    parts["xl/worksheets/sheet5.xml"] = worksheet(
        "<dimension ref=\"A3:B7\"/><sheetViews><sheetView workbookViewId=\"0\"/></sheetViews>",
        "<sheetData><row r=\"3\"><c r=\"A3\" t=\"inlineStr\"><is><t>Region</t></is></c></row></sheetData>", "");
    parts["xl/worksheets/_rels/sheet5.xml.rels"] =
        relationships({{rel("pivotTable"), "../pivotTables/pivotTable1.xml"}});
    parts["xl/pivotTables/pivotTable1.xml"] =
        kDeclaration + "<pivotTableDefinition xmlns=\"" + kMain
        + "\" name=\"SalesPivot\" cacheId=\"1\" dataCaption=\"Values\" colGrandTotals=\"0\">"
          "<location ref=\"A3:B7\" firstHeaderRow=\"1\" firstDataRow=\"1\" firstDataCol=\"1\"/></pivotTableDefinition>";
    parts["xl/pivotTables/_rels/pivotTable1.xml.rels"] =
        relationships({{rel("pivotCacheDefinition"), "../pivotCache/pivotCacheDefinition1.xml"}});
    parts["xl/pivotCache/pivotCacheDefinition1.xml"] =
        kDeclaration + "<pivotCacheDefinition xmlns=\"" + kMain + "\" xmlns:r=\"" + kRel
        + "\" refreshOnLoad=\"1\"><cacheSource type=\"worksheet\"><worksheetSource ref=\"A1:B3\" sheet=\"Data\"/>"
          "</cacheSource><cacheFields count=\"0\"/></pivotCacheDefinition>";
}

}  // namespace

std::vector<std::string> filesIn(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

Parts fixtureParts(const FixtureOptions& options)
{
    Parts parts;
    parts["_rels/.rels"] = relationships(
        {{rel("officeDocument"), "xl/workbook.xml"},
         {"http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties", "docProps/core.xml"},
         {rel("extended-properties"), "docProps/app.xml"}});
    parts["docProps/core.xml"] = kDeclaration
                                 + "<cp:coreProperties xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/"
                                   "metadata/core-properties\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\">"
                                   "<dc:creator>Fixture</dc:creator></cp:coreProperties>";
    parts["docProps/app.xml"] = kDeclaration
                                + "<Properties xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                                  "extended-properties\"><Application>Fixture</Application></Properties>";
    parts["xl/workbook.xml"] = workbook(options.pivotTable);
    parts["xl/_rels/workbook.xml.rels"] = workbookRels(options.pivotTable);
    parts["xl/styles.xml"] = styles();
    parts["xl/sharedStrings.xml"] = kDeclaration + "<sst xmlns=\"" + kMain
                                    + "\" count=\"5\" uniqueCount=\"5\"><si><t>Region</t></si><si><t>Amount</t></si>"
                                      "<si><t>North</t></si><si><t>South</t></si><si><t>Total</t></si></sst>";
    parts["xl/calcChain.xml"] = kDeclaration + "<calcChain xmlns=\"" + kMain
                                + "\"><c r=\"B4\" i=\"1\"/><c r=\"A1\" i=\"2\"/></calcChain>";
    static const char kOpaque[] = "\x00\x01\x02 opaque bytes \xff\xfe";
    parts["xl/unknown/thing.bin"] = std::string(kOpaque, sizeof kOpaque - 1);
    addSheets(parts);
    if (options.pivotTable)
        addPivot(parts);
    parts["[Content_Types].xml"] = contentTypes(parts);
    return parts;
}

void writeZip(const std::filesystem::path& file, const Parts& parts)
{
    int error = 0;
    zip_t* zip = zip_open(file.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(zip, nullptr);
    std::vector<std::string> order;
    if (parts.count("[Content_Types].xml"))
        order.push_back("[Content_Types].xml");
    for (const auto& [name, bytes] : parts) {
        if (name != "[Content_Types].xml")
            order.push_back(name);
    }
    for (const auto& name : order) {
        const std::string& bytes = parts.at(name);
        zip_source_t* source = zip_source_buffer(zip, bytes.data(), bytes.size(), 0);
        const zip_int64_t index = zip_file_add(zip, name.c_str(), source, ZIP_FL_ENC_UTF_8);
        ASSERT_GE(index, 0) << name;
        zip_set_file_compression(zip, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, 9);
    }
    ASSERT_EQ(zip_close(zip), 0) << zip_strerror(zip);
}

std::map<std::string, StoredEntry> readZip(const std::filesystem::path& file)
{
    std::map<std::string, StoredEntry> entries;
    int error = 0;
    zip_t* zip = zip_open(file.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
    EXPECT_NE(zip, nullptr) << file;
    if (!zip)
        return entries;
    const auto readAll = [&](zip_uint64_t index, zip_flags_t flags) {
        zip_file_t* entry = zip_fopen_index(zip, index, flags);
        std::string bytes;
        char buffer[8192];
        for (zip_int64_t n; entry && (n = zip_fread(entry, buffer, sizeof buffer)) > 0;)
            bytes.append(buffer, static_cast<size_t>(n));
        if (entry)
            zip_fclose(entry);
        return bytes;
    };
    for (zip_int64_t i = 0; i < zip_get_num_entries(zip, 0); ++i) {
        zip_stat_t st;
        zip_stat_index(zip, static_cast<zip_uint64_t>(i), 0, &st);
        StoredEntry& entry = entries[st.name];
        entry.data = readAll(static_cast<zip_uint64_t>(i), 0);
        entry.compressed = readAll(static_cast<zip_uint64_t>(i), ZIP_FL_COMPRESSED);
        entry.crc = st.crc;
        entry.method = st.comp_method;
    }
    zip_discard(zip);
    return entries;
}

std::string fileBytes(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void writeFile(const std::filesystem::path& file, const std::string& bytes)
{
    std::ofstream out(file, std::ios::binary);
    out << bytes;
}

platform::Failure failureOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const platform::Failure& failure) {
        return failure;
    } catch (const std::exception& e) {
        ADD_FAILURE() << "threw something else: " << e.what();
        return platform::Failure(0, e.what());
    }
    ADD_FAILURE() << "threw nothing";
    return platform::Failure(0, "nothing thrown");
}

void expectRefusals(const std::vector<Refusal>& refusals)
{
    for (const auto& refusal : refusals) {
        SCOPED_TRACE(refusal.label);
        const auto failure = failureOf(refusal.call);
        EXPECT_EQ(failure.number(), refusal.number);
        EXPECT_EQ(failure.source(), "sheet");
        EXPECT_NE(failure.description().find(refusal.says), std::string::npos) << failure.description();
    }
}

void expectUnchangedBut(const std::map<std::string, StoredEntry>& before, const std::filesystem::path& file,
                        const std::set<std::string>& changed)
{
    const auto after = readZip(file);
    for (const auto& [name, entry] : before) {
        if (changed.count(name))
            continue;
        ASSERT_TRUE(after.count(name)) << name << " is missing";
        EXPECT_EQ(after.at(name).data, entry.data) << name;
        EXPECT_EQ(after.at(name).compressed, entry.compressed) << name;
        EXPECT_EQ(after.at(name).crc, entry.crc) << name;
        EXPECT_EQ(after.at(name).method, entry.method) << name;
    }
}

std::string findSoffice()
{
    return testsupport::programPath("soffice");
}

int convertToCsv(const std::string& soffice, const std::filesystem::path& workbook, const std::filesystem::path& out,
                 const std::filesystem::path& profile)
{
    // Separator ",", quote '"', UTF-8, from line 1, no column types, default
    // language, texts unquoted, numbers detected, cells as shown (so number
    // formats count), no formulas, spaces kept, every sheet to its own file.
    const std::string filter = "csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,true,false,false,-1";
    const std::string command = "'" + soffice + "' -env:UserInstallation=file://" + profile.string()
                                + " --headless --norestore --convert-to '" + filter + "' --outdir '" + out.string()
                                + "' '" + workbook.string() + "' > '" + (out / "soffice.log").string() + "' 2>&1";
    return std::system(command.c_str());
}

}  // namespace sheettest

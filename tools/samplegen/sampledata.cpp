#include "sampledata.h"

#include "csvwriter.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace samplegen {

namespace {

// SplitMix64: tiny, fast, and the same on every platform, unlike the
// standard distributions.
class Random {
public:
    explicit Random(uint64_t seed) : mState(seed) {}
    uint64_t next()
    {
        uint64_t z = (mState += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // A number in [0, bound).
    int64_t below(int64_t bound) { return static_cast<int64_t>(next() % static_cast<uint64_t>(bound)); }

private:
    uint64_t mState;
};

constexpr int kFirstYear = 2022;
constexpr int kYears = 3;
constexpr std::array<const char*, 12> kMonthNames = {"January", "February", "March",     "April",   "May",      "June",
                                                     "July",    "August",   "September", "October", "November", "December"};

struct Subcategory {
    const char* name;
    std::array<const char*, 4> products;
};
struct Category {
    const char* name;
    std::array<Subcategory, 3> subcategories;
};

const std::array<Category, 4> kCategories = {{
    {"Beverages", {{{"Coffee", {"Espresso Roast", "House Blend", "Decaf Blend", "Cold Brew"}},
                    {"Tea", {"Green Tea", "Earl Grey", "Chamomile", "Chai"}},
                    {"Juice", {"Orange Juice", "Apple Juice", "Tomato Juice", "Mango Juice"}}}}},
    {"Food", {{{"Bakery", {"Rye Bread", "Croissant", "Bagel", "Muffin"}},
               {"Dairy", {"Milk", "Yogurt", "Butter", "Cheddar"}},
               {"Snacks", {"Pretzels", "Crisps", "Almonds", "Granola Bar"}}}}},
    {"Household", {{{"Cleaning", {"Dish Soap", "Glass Cleaner", "Sponges", "Laundry Powder"}},
                    {"Paper", {"Paper Towels", "Tissues", "Napkins", "Toilet Paper"}},
                    {"Kitchen", {"Foil", "Cling Film", "Freezer Bags", "Baking Paper"}}}}},
    {"Personal Care", {{{"Hair", {"Shampoo", "Conditioner", "Hair Gel", "Hair Spray"}},
                        {"Oral Care", {"Toothpaste", "Toothbrush", "Mouthwash", "Dental Floss"}},
                        {"Skin", {"Hand Cream", "Sunscreen", "Lip Balm", "Body Lotion"}}}}},
}};

struct Store {
    const char* city;
    const char* state;
    const char* country;
};
const std::array<Store, 14> kStores = {{
    {"Los Angeles", "CA", "USA"},   {"San Francisco", "CA", "USA"}, {"San Diego", "CA", "USA"},
    {"Portland", "OR", "USA"},      {"Salem", "OR", "USA"},         {"Seattle", "WA", "USA"},
    {"Spokane", "WA", "USA"},       {"Vancouver", "BC", "Canada"},  {"Victoria", "BC", "Canada"},
    {"Toronto", "ON", "Canada"},    {"Ottawa", "ON", "Canada"},     {"Guadalajara", "Jalisco", "Mexico"},
    {"Zapopan", "Jalisco", "Mexico"}, {"Monterrey", "Nuevo León", "Mexico"},
}};

constexpr std::array<const char*, 30> kFirstNames = {
    "Ada",   "Ben",   "Carla", "David", "Elena", "Frank", "Grace", "Hugo",  "Irene", "Jonas",
    "Kira",  "Liam",  "Maya",  "Noah",  "Olga",  "Pablo", "Quinn", "Rosa",  "Sam",   "Tara",
    "Umar",  "Vera",  "Walt",  "Xenia", "Yusuf", "Zoe",   "Anton", "Bea",   "Cyril", "Dana"};
constexpr std::array<const char*, 20> kLastNames = {
    "Fischer", "Garcia", "Hughes", "Ito",    "Jensen", "Kowalski", "Lopez", "Martin", "Nguyen", "Olsen",
    "Petrov",  "Quint",  "Rossi",  "Schmidt", "Tanaka", "Ueda",    "Varga", "Weber",  "Young",  "Zimmer"};
constexpr std::array<const char*, 3> kSegments = {"Consumer", "Corporate", "Small Business"};
constexpr int kCustomers = static_cast<int>(kFirstNames.size() * kLastNames.size());

constexpr int kProductsPerCategory = 12;
constexpr int kProducts = static_cast<int>(kCategories.size()) * kProductsPerCategory;

std::string numbered(const char* prefix, int number, int width)
{
    std::string digits = std::to_string(number);
    return prefix + std::string(width > int(digits.size()) ? width - digits.size() : 0, '0') + digits;
}

std::string monthId(int year, int month)
{
    return std::to_string(year) + (month < 10 ? "-0" : "-") + std::to_string(month);
}

// Prices in cents; what a product costs us is a fixed share of its price.
int64_t unitPrice(int product)
{
    return 149 + (product * 137) % 1850;
}
int64_t unitCost(int product)
{
    return unitPrice(product) * (55 + product % 20) / 100;
}

void writeMonths(const std::filesystem::path& folder)
{
    // month_number orders the months, whose captions are names.
    CsvWriter out(folder / "months.csv",
                  {"month_id", "year", "quarter", "month", "fiscal_year", "fiscal_quarter", "month_number"});
    for (int year = kFirstYear; year < kFirstYear + kYears; ++year) {
        for (int month = 1; month <= 12; ++month) {
            // The fiscal year runs from July to June and is named after the year it ends in.
            const int fiscalYear = month >= 7 ? year + 1 : year;
            const int fiscalQuarter = ((month + 5) % 12) / 3 + 1;
            out.field(monthId(year, month)).field(year).field("Q" + std::to_string((month - 1) / 3 + 1));
            out.field(kMonthNames[month - 1]).field("FY" + std::to_string(fiscalYear));
            out.field("FQ" + std::to_string(fiscalQuarter)).field(month).endRecord();
        }
    }
}

void writeProducts(const std::filesystem::path& folder)
{
    CsvWriter categories(folder / "categories.csv", {"category_id", "category"});
    CsvWriter subcategories(folder / "subcategories.csv", {"subcategory_id", "subcategory", "category_id"});
    CsvWriter products(folder / "products.csv", {"product_id", "product", "subcategory_id", "unit_price", "unit_cost"});
    int subcategoryNumber = 0;
    int productNumber = 0;
    for (size_t c = 0; c < kCategories.size(); ++c) {
        const std::string categoryId = numbered("C", int(c) + 1, 1);
        categories.field(categoryId).field(kCategories[c].name).endRecord();
        for (const Subcategory& subcategory : kCategories[c].subcategories) {
            const std::string subcategoryId = numbered("S", ++subcategoryNumber, 2);
            subcategories.field(subcategoryId).field(subcategory.name).field(categoryId).endRecord();
            for (const char* product : subcategory.products) {
                const int number = productNumber++;
                products.field(numbered("P", number + 1, 3)).field(product).field(subcategoryId);
                products.cents(unitPrice(number)).cents(unitCost(number)).endRecord();
            }
        }
    }
}

void writeStoresAndCustomers(const std::filesystem::path& folder)
{
    CsvWriter stores(folder / "stores.csv", {"store_id", "store", "city", "state", "country"});
    for (size_t s = 0; s < kStores.size(); ++s) {
        stores.field(numbered("ST", int(s) + 1, 2)).field(std::string(kStores[s].city) + " Store");
        stores.field(kStores[s].city).field(kStores[s].state).field(kStores[s].country).endRecord();
    }
    CsvWriter customers(folder / "customers.csv", {"customer_id", "customer", "segment"});
    Random random(7);
    for (int c = 0; c < kCustomers; ++c) {
        const std::string name = std::string(kFirstNames[c % kFirstNames.size()]) + " " + kLastNames[c / kFirstNames.size()];
        customers.field(numbered("K", c + 1, 4)).field(name).field(kSegments[random.below(kSegments.size())]).endRecord();
    }
}

struct Sale {
    std::string month;
    int product = 0;
    int store = 0;
    int customer = 0;
    int64_t units = 0;
    int64_t amount = 0;  // cents
    int64_t cost = 0;    // cents
};

Sale makeSale(Random& random, int year, int month, int store)
{
    Sale sale;
    sale.month = monthId(year, month);
    sale.product = int(random.below(kProducts));
    sale.store = store;
    sale.customer = int(random.below(kCustomers));
    // More is sold before the holidays.
    sale.units = 1 + random.below(month >= 11 ? 9 : 6);
    const int64_t discountPercent = 5 * random.below(3);
    sale.amount = sale.units * unitPrice(sale.product) * (100 - discountPercent) / 100;
    sale.cost = sale.units * unitCost(sale.product);
    return sale;
}

std::vector<Sale> makeSales()
{
    Random random(20240601);
    std::vector<Sale> sales;
    for (int year = kFirstYear; year < kFirstYear + kYears; ++year) {
        for (int month = 1; month <= 12; ++month) {
            for (int store = 0; store < int(kStores.size()); ++store) {
                const int64_t count = 60 + random.below(40);
                for (int64_t i = 0; i < count; ++i)
                    sales.push_back(makeSale(random, year, month, store));
            }
        }
    }
    return sales;
}

void writeSaleKeys(CsvWriter& out, const Sale& sale)
{
    out.field(sale.month).field(numbered("P", sale.product + 1, 3)).field(numbered("ST", sale.store + 1, 2));
    out.field(numbered("K", sale.customer + 1, 4));
}

void writeSales(const std::filesystem::path& folder, const std::vector<Sale>& sales)
{
    CsvWriter out(folder / "sales.csv",
                  {"month_id", "product_id", "store_id", "customer_id", "units", "sales_amount", "cost", "profit"});
    for (const Sale& sale : sales) {
        writeSaleKeys(out, sale);
        out.field(sale.units).cents(sale.amount).cents(sale.cost).cents(sale.amount - sale.cost).endRecord();
    }
}

// The same sales with one record per measure, each holding that measure's
// value only: the "Measure List" dimension then tells which measure a fact carries.
void writeSalesByMeasure(const std::filesystem::path& folder, const std::vector<Sale>& sales)
{
    constexpr std::array<const char*, 4> kMeasures = {"Sales Amount", "Units", "Cost", "Profit"};
    CsvWriter measures(folder / "measures.csv", {"measure"});
    for (const char* measure : kMeasures)
        measures.field(measure).endRecord();
    CsvWriter out(folder / "sales_by_measure.csv", {"month_id", "product_id", "store_id", "customer_id", "measure",
                                                    "sales_amount", "units", "cost", "profit"});
    for (const Sale& sale : sales) {
        const int64_t values[] = {sale.amount, sale.units, sale.cost, sale.amount - sale.cost};
        for (size_t m = 0; m < kMeasures.size(); ++m) {
            writeSaleKeys(out, sale);
            out.field(kMeasures[m]);
            for (size_t column = 0; column < kMeasures.size(); ++column) {
                if (column != m)
                    out.field("");
                else if (m == 1)
                    out.field(values[m]);
                else
                    out.cents(values[m]);
            }
            out.endRecord();
        }
    }
}

void writeInventory(const std::filesystem::path& folder)
{
    constexpr std::array<std::array<const char*, 2>, 6> kWarehouses = {{
        {"West", "Oakland"}, {"West", "Tacoma"}, {"Central", "Denver"},
        {"Central", "Omaha"}, {"East", "Newark"}, {"East", "Richmond"}}};
    CsvWriter out(folder / "inventory.csv", {"category", "product", "region", "warehouse", "on_hand", "unit_cost"});
    Random random(99);
    int number = 0;
    for (const Category& category : kCategories) {
        for (const Subcategory& subcategory : category.subcategories) {
            for (const char* product : subcategory.products) {
                for (const auto& [region, warehouse] : kWarehouses) {
                    out.field(category.name).field(product).field(region).field(warehouse);
                    out.field(random.below(500)).cents(unitCost(number) + random.below(20) - 10).endRecord();
                }
                ++number;
            }
        }
    }
}

void writeBudget(const std::filesystem::path& folder)
{
    constexpr std::array<const char*, 6> kDepartments = {"Sales", "Marketing", "Operations",
                                                         "Finance", "Human Resources", "IT"};
    CsvWriter out(folder / "budget.csv", {"month_id", "department", "budget", "actual"});
    Random random(4711);
    for (int year = kFirstYear; year < kFirstYear + kYears; ++year) {
        for (int month = 1; month <= 12; ++month) {
            for (size_t d = 0; d < kDepartments.size(); ++d) {
                const int64_t budget = (20000 + 5000 * int64_t(d)) * 100;
                const int64_t actual = budget * (90 + random.below(21)) / 100;
                out.field(monthId(year, month)).field(kDepartments[d]).cents(budget).cents(actual).endRecord();
            }
        }
    }
}

}  // namespace

void writeSampleTables(const std::filesystem::path& folder)
{
    writeMonths(folder);
    writeProducts(folder);
    writeStoresAndCustomers(folder);
    const std::vector<Sale> sales = makeSales();
    writeSales(folder, sales);
    writeSalesByMeasure(folder, sales);
    writeInventory(folder);
    writeBudget(folder);
}

}  // namespace samplegen

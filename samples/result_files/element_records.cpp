#include "result_files/element_records.h"

#include <algorithm>

namespace kvpvs::resultfiles {
namespace {

void put_material(std::vector<double>& v, std::size_t at, const MaterialFacts& m)
{
    v[at] = m.E;
    v[at + 1] = m.nu;
    v[at + 2] = m.type;
    std::copy(m.constants.begin(), m.constants.end(), v.begin() + static_cast<std::ptrdiff_t>(at + 3));
}

void put(std::vector<double>& v, std::size_t at, const std::vector<double>& values, std::size_t limit)
{
    for (std::size_t i = 0; i < values.size() && i < limit; ++i)
        v[at + i] = values[i];
}

std::vector<double> quadratic_plane_values(const QuadraticPlaneFacts& f, std::size_t size)
{
    std::vector<double> v(size, 0.0);
    put(v, 0, f.equations, 48);
    v[48] = static_cast<double>(f.equations.size());
    v[49] = f.result_rows;
    v[51] = f.node_count;
    put(v, 52, f.nodes, 8);
    return v;
}

} // namespace

std::vector<double> node_equations(int node_count, int first_equation)
{
    std::vector<double> e;
    for (int j = 0; j < 6 * node_count; ++j)
        e.push_back(first_equation + j);
    return e;
}

std::vector<double> plane_record_values(const PlaneRecordFacts& f)
{
    std::vector<double> v(716, 0.0);
    const std::size_t D = f.equations.size();
    put(v, 0, f.equations, 24);
    for (int c = 1; c <= f.matrix.cols; ++c)
        for (int r = 1; r <= f.matrix.rows; ++r)
            v[D + static_cast<std::size_t>(r + (c - 1) * f.matrix.rows) - 1] = f.matrix(r, c);
    v[672] = static_cast<double>(D);
    v[673] = f.matrix.rows;
    double* block = v.data() + 675;
    block[0] = f.node_count;
    for (std::size_t m = 0; m < 4; ++m) {
        block[1 + m] = f.nodes[m];
        for (std::size_t i = 0; i < 3; ++i)
            block[5 + 3 * m + i] = f.xyz[m][i];
    }
    std::copy(f.section.begin(), f.section.end(), block + 17);
    put_material(v, 675 + 28, f.material);
    block[40] = f.code;
    return v;
}

std::vector<double> solid_record_values(const SolidRecordFacts& f)
{
    std::vector<double> v(3805, 0.0);
    const std::size_t ncol = f.equations.size();
    put(v, 0, f.equations, 48);
    for (int c = 1; c <= f.matrix.cols; ++c)
        for (int r = 1; r <= f.matrix.rows; ++r)
            v[ncol + static_cast<std::size_t>(r + (c - 1) * f.matrix.rows) - 1] = f.matrix(r, c);
    v[3792] = static_cast<double>(ncol);
    v[3793] = f.matrix.rows;
    v[3795] = f.node_count;
    for (std::size_t i = 0; i < 3; ++i)
        for (std::size_t j = 0; j < 3; ++j)
            v[3796 + 3 * i + j] = f.T[i][j];
    return v;
}

std::vector<double> quadratic_solid_record_values(const QuadraticSolidFacts& f)
{
    std::vector<double> v(156, 0.0);
    put(v, 0, f.equations, 120);
    v[120] = static_cast<double>(f.equations.size());
    v[123] = f.node_count;
    put(v, 124, f.nodes, 20);
    put_material(v, 144, f.material);
    return v;
}

std::vector<double> plane_stress_record_values(const QuadraticPlaneFacts& f)
{
    std::vector<double> v = quadratic_plane_values(f, 83);
    std::copy(f.section.begin(), f.section.end(), v.begin() + 60);
    put_material(v, 71, f.material);
    return v;
}

std::vector<double> plane_strain_record_values(const QuadraticPlaneFacts& f)
{
    std::vector<double> v = quadratic_plane_values(f, 89);
    std::copy(f.axis_indices.begin(), f.axis_indices.end(), v.begin() + 60);
    std::copy(f.axis_vector.begin(), f.axis_vector.end(), v.begin() + 63);
    std::copy(f.section.begin(), f.section.end(), v.begin() + 66);
    put_material(v, 77, f.material);
    return v;
}

void add_element_records(ResultSetBuilder& builder, const std::string& key, std::int32_t sub_id,
                         const std::vector<std::vector<double>>& records)
{
    std::vector<Record> r;
    for (const auto& v : records)
        r.push_back(doubles_record(v));
    const std::int32_t words = records.empty() ? 2 : static_cast<std::int32_t>(2 * records.front().size());
    builder.add_family_records(key, words, std::move(r), sub_id);
}

} // namespace kvpvs::resultfiles

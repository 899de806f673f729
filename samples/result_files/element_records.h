// Element records of the plane and solid families, laid out as the solver writes them into
// the '2' file: PSTR and PSRN (linear plane), SOLD (linear solid), PSOH (quadratic solid),
// PSTH and PSRH (quadratic plane stress and plane strain). Each maker returns the record's
// doubles, so that a test can damage one value before the record is written.
#pragma once

#include "result_files/result_file_writer.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kvpvs::resultfiles {

// rows x cols, column-major.
struct StoredMatrix {
    int rows = 0;
    int cols = 0;
    std::vector<double> values;

    StoredMatrix() = default;
    StoredMatrix(int r, int c) : rows(r), cols(c), values(static_cast<std::size_t>(r) * static_cast<std::size_t>(c), 0.0) {}
    double& operator()(int i, int j) { return values[static_cast<std::size_t>((i - 1) + rows * (j - 1))]; }
    double operator()(int i, int j) const { return values[static_cast<std::size_t>((i - 1) + rows * (j - 1))]; }
};

struct MaterialFacts {
    double E = 0.0;
    double nu = 0.0;
    double type = 0.0;  // 0 isotropic, 1 orthotropic
    std::array<double, 9> constants{};
};

// Equation numbers 6(k - 1) + d for degree of freedom d of node k: node after node.
std::vector<double> node_equations(int node_count, int first_equation = 1);

// PSTR / PSRN: 716 doubles. The matrix is R x D with D = equations.size().
struct PlaneRecordFacts {
    std::vector<double> equations;
    StoredMatrix matrix;
    double node_count = 4;
    std::array<double, 4> nodes{};
    std::array<std::array<double, 3>, 4> xyz{};
    std::array<double, 11> section{};
    MaterialFacts material;
    double code = 0;  // 0 plane stress, 1 plane strain; +100 sets the membrane flag
};
std::vector<double> plane_record_values(const PlaneRecordFacts& f);

// SOLD: R(3795), then H(10): node count and the direction matrix T by rows.
struct SolidRecordFacts {
    std::vector<double> equations;  // ncol
    StoredMatrix matrix;            // nrow x ncol
    double node_count = 8;
    std::array<std::array<double, 3>, 3> T{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
};
std::vector<double> solid_record_values(const SolidRecordFacts& f);

// PSOH: 156 doubles.
struct QuadraticSolidFacts {
    std::vector<double> equations;  // ncol
    double node_count = 20;
    std::vector<double> nodes;      // up to 20
    MaterialFacts material;
};
std::vector<double> quadratic_solid_record_values(const QuadraticSolidFacts& f);

// PSTH (83 doubles) and PSRH (89 doubles).
struct QuadraticPlaneFacts {
    std::vector<double> equations;  // D
    double result_rows = 60;        // R
    double node_count = 8;
    std::vector<double> nodes;      // up to 8
    std::array<double, 11> section{};
    MaterialFacts material;
    // PSRH only: the in-plane axis indices (words 61..63) and the axis vector (64..66).
    std::array<double, 3> axis_indices{1, 2, 3};
    std::array<double, 3> axis_vector{1, 0, 0};
};
std::vector<double> plane_stress_record_values(const QuadraticPlaneFacts& f);
std::vector<double> plane_strain_record_values(const QuadraticPlaneFacts& f);

// Adds the records (all of one length) as data set `key` with `sub_id` to the '2' file.
void add_element_records(ResultSetBuilder& builder, const std::string& key, std::int32_t sub_id,
                         const std::vector<std::vector<double>>& records);

} // namespace kvpvs::resultfiles

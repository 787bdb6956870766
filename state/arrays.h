#pragma once
// Arrays of the analysis window with the index ranges the solver and the grids use.
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace state {

// Doubles indexed (0..rows, 1..cols), stored column by column: the image the solver takes,
// passed as the address of element (0, 1).
class ColMatrix {
public:
    ColMatrix() = default;
    ColMatrix(int rows, int cols) { resize(rows, cols); }
    // One column of rows 0..values.size() - 1, taking the values as they stand.
    static ColMatrix column(std::vector<double>&& values)
    {
        ColMatrix m;
        m.rows_ = static_cast<int>(values.size()) - 1;
        m.cols_ = values.empty() ? 0 : 1;
        m.data_ = std::move(values);
        return m;
    }
    // Discards the earlier contents, as every dimensioning does.
    void resize(int rows, int cols)
    {
        rows_ = rows < 0 ? -1 : rows;
        cols_ = cols < 0 ? 0 : cols;
        data_.assign(static_cast<std::size_t>(rows_ + 1) * static_cast<std::size_t>(cols_), 0.0);
    }
    void clear() { resize(-1, 0); }
    int rows() const { return rows_; }  // highest row index
    int cols() const { return cols_; }  // highest column index
    bool empty() const { return data_.empty(); }
    double& operator()(int r, int c) { return data_[index(r, c)]; }
    double operator()(int r, int c) const { return data_[index(r, c)]; }
    double* data() { return data_.data(); }
    const double* data() const { return data_.data(); }
    const double* column(int c) const { return data_.data() + index(0, c); }

private:
    std::size_t index(int r, int c) const
    {
        return static_cast<std::size_t>(c - 1) * static_cast<std::size_t>(rows_ + 1) + static_cast<std::size_t>(r);
    }
    int rows_ = -1;
    int cols_ = 0;
    std::vector<double> data_;
};

// Texts indexed (0..rows, 1..cols), row first.
class TextMatrix {
public:
    void resize(int rows, int cols)
    {
        rows_ = rows;
        cols_ = cols;
        data_.assign(static_cast<std::size_t>(rows + 1) * static_cast<std::size_t>(cols), std::string());
    }
    int rows() const { return rows_; }
    int cols() const { return cols_; }
    std::string& operator()(int r, int c) { return data_[index(r, c)]; }
    const std::string& operator()(int r, int c) const { return data_[index(r, c)]; }

private:
    std::size_t index(int r, int c) const
    {
        return static_cast<std::size_t>(c - 1) * static_cast<std::size_t>(rows_ + 1) + static_cast<std::size_t>(r);
    }
    int rows_ = -1;
    int cols_ = 0;
    std::vector<std::string> data_;
};

}  // namespace state

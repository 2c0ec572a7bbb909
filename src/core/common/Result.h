#pragma once

#include <QString>
#include <utility>

// A success flag with the text that explains a failure. Core code returns
// this (or a Result<T>) instead of showing anything.
struct Status
{
    bool ok = true;
    QString error;

    static Status success() { return {}; }
    static Status failure(QString text) { return {false, std::move(text)}; }
    explicit operator bool() const { return ok; }
};

template <typename T>
struct Result
{
    T value{};
    bool ok = false;
    QString error;

    static Result success(T v) { return {std::move(v), true, {}}; }
    static Result failure(QString text) { return {T{}, false, std::move(text)}; }
    explicit operator bool() const { return ok; }
};

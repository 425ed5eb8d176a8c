#pragma once

#include <QString>
#include <functional>

// The one place where failures that no handler catches end up: the failure's
// text is shown in a message box titled with the application title and the
// program goes on. Tests install their own presenter instead of the box.
namespace ErrorReport {

using Presenter = std::function<void(const QString &message)>;

// Replaces the presenter; returns the previous one.
Presenter setPresenter(Presenter presenter);

void show(const QString &message);

// Runs a handler body; a VorlanError or any std::exception it throws is shown
// and swallowed. Returns false when the body failed.
bool guarded(const std::function<void()> &body);

} // namespace ErrorReport

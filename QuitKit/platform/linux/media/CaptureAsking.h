#pragma once

// How a program asks what is capturing. One that keeps asking (the tray program) follows changes
// through inotify watches; one that asks once (nimbrelctl) reads afresh and sets no watch: an
// inotify instance with watches takes milliseconds to close, longer than the reading it saves.
enum class CaptureAsking { repeatedly, once };

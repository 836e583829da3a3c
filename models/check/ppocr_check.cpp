// ppocr_check: load the prepared PP-OCRv4 models with OpenCV's DNN module, run
// them on the test pictures and compare with reference outputs that
// make_reference.js computed from the original models on ONNX Runtime.
//
// It makes every input with the engine's own functions (detectorBlob, recognizerBlob,
// classifierBlobs) and decodes with the engine's decodeCtc, so the checks cover the code
// the tool runs. Built with the tool: cmake --build build --target ppocr_check.
//
// Usage:
//   ppocr_check MODEL_DIR TESTDATA_DIR              run all checks (exit 1 on failure)
//   ppocr_check MODEL_DIR TESTDATA_DIR --det FILE   the same with another detector file
//   ppocr_check MODEL_DIR TESTDATA_DIR --plain-rec FILE
//                                                   also compare the recognizer with FILE,
//                                                   one prepared without the fast-path
//                                                   rewrites (prepare.py --no-fast-paths)
//   ppocr_check MODEL_DIR TESTDATA_DIR --dump DIR   only write the preprocessed input
//                                                   tensors (.npy) for make_reference.js
//
// The prepared recognizer gives its probabilities class-major (1 x classes x
// steps); the plain one, like the original, step-major (1 x steps x classes).
//
// The input tensors are made here (--dump) and only here, so OpenCV and ONNX Runtime
// see exactly the same numbers.

#include <opencv2/core.hpp>
#include <opencv2/dnn.hpp>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "recognition/ppocr/ctc_decoder.h"
#include "recognition/ppocr/direction_classifier.h"
#include "recognition/ppocr/text_detector.h"
#include "recognition/ppocr/text_recognizer.h"

namespace fs = std::filesystem;
namespace ppocr = quillfen::ppocr;

namespace {

// ---------------------------------------------------------------------------
// Settings
// ---------------------------------------------------------------------------

constexpr float kDetThreshold = 0.3f;

// Tolerances against ONNX Runtime.
constexpr double kMaxPooledDelta = 1e-3;
constexpr double kMaxRecProbDelta = 5e-4;
constexpr double kMaxClsProbDelta = 1e-3;
// The fast-path rewrites against the plain recognizer, both on OpenCV: every
// probability of every step. Only the order of float additions differs, but
// the network amplifies rounding on steps where two classes compete: up to
// 1.6e-4 on these lines, about as much as OpenCV differs from ONNX Runtime.
constexpr double kMaxRewriteProbDelta = 5e-4;

// Sanity of a probability map: the share of pixels above the threshold inside
// every text line box, and outside all boxes (grown by a margin).
constexpr double kMinLineCoverage = 0.1;
constexpr double kMaxBackgroundCoverage = 0.002;
constexpr int kBackgroundMargin = 8;

// The order the detector sees the pictures in: every step changes the input
// shape, and the last one returns to the first shape.
const std::vector<std::string> kDetSequence = {"lines_640x480.png", "wide_1216x384.png", "page_960x1280.png",
                                               "lines_640x480.png"};

// Line crops also fed stretched to a forced width, to cover very short and very
// long inputs: {line index in lines.txt, width}. Their reference index is 100 + k.
const std::vector<std::pair<int, int>> kRecWidthVariants = {{5, 2000}, {0, 24}, {16, 8}};
constexpr int kVariantIndexBase = 100;
// A line's classifier windows: reference index 3 * line + window.
constexpr int kMaxClsWindows = 3;

using Clock = std::chrono::steady_clock;

double ms_since(Clock::time_point t0) { return std::chrono::duration<double, std::milli>(Clock::now() - t0).count(); }

struct Line {
  std::string picture;
  cv::Rect box;
  std::string text;
};

// ---------------------------------------------------------------------------
// Preprocessing
// ---------------------------------------------------------------------------

// Detector: the picture resized as the engine resizes it, then the engine's blob.
cv::Mat det_tensor(const cv::Mat& bgr) {
  const cv::Size size = ppocr::detectorInputSize(bgr.size(), ppocr::DetectorSettings().maxSide);
  cv::Mat resized = bgr;
  if (size != bgr.size()) cv::resize(bgr, resized, size, 0, 0, cv::INTER_AREA);
  return ppocr::detectorBlob(resized);
}

// Recognizer: the engine's blob of the crop, stretched first to a forced width at
// height 48 when one is given.
cv::Mat rec_tensor(const cv::Mat& crop, int width = 0) {
  if (width <= 0) return ppocr::recognizerBlob(crop);
  cv::Mat stretched;
  cv::resize(crop, stretched, cv::Size(width, ppocr::kLineHeight), 0, 0, cv::INTER_LINEAR);
  return ppocr::recognizerBlob(stretched);
}

// ---------------------------------------------------------------------------
// Files
// ---------------------------------------------------------------------------

std::vector<Line> read_lines(const fs::path& file) {
  std::ifstream in(file);
  if (!in) throw std::runtime_error("cannot read " + file.string());
  std::vector<Line> lines;
  std::string row;
  while (std::getline(in, row)) {
    if (row.empty() || row[0] == '#') continue;
    std::istringstream ss(row);
    Line l;
    ss >> l.picture >> l.box.x >> l.box.y >> l.box.width >> l.box.height;
    std::getline(ss >> std::ws, l.text);
    lines.push_back(l);
  }
  return lines;
}

std::vector<std::string> read_keys(const fs::path& file) {
  std::ifstream in(file);
  if (!in) throw std::runtime_error("cannot read " + file.string());
  std::vector<std::string> keys;
  std::string k;
  while (std::getline(in, k)) keys.push_back(k);
  return keys;
}

cv::Mat read_picture(const fs::path& file) {
  cv::Mat img = cv::imread(file.string(), cv::IMREAD_COLOR);
  if (img.empty()) throw std::runtime_error("cannot read " + file.string());
  return img;
}

// Minimal .npy (version 1.0, little-endian float32, C order) writer.
void write_npy(const fs::path& file, const cv::Mat& blob) {
  std::string shape = "(";
  for (int i = 0; i < blob.dims; ++i) shape += std::to_string(blob.size[i]) + ", ";
  shape += ")";
  std::string header = "{'descr': '<f4', 'fortran_order': False, 'shape': " + shape + ", }";
  header.append(63 - (10 + header.size()) % 64, ' ');  // total header length % 64 == 0
  header += '\n';
  std::ofstream out(file, std::ios::binary);
  out.write("\x93NUMPY\x01\x00", 8);
  uint16_t len = uint16_t(header.size());
  out.put(char(len & 0xff)).put(char(len >> 8));
  out << header;
  out.write(reinterpret_cast<const char*>(blob.ptr<float>()), std::streamsize(blob.total() * sizeof(float)));
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

// Reference outputs of one picture, as written by make_reference.js.
struct Reference {
  int det_h = 0, det_w = 0, pool = 0;
  long above = 0;  // full-resolution pixels above 0.3
  cv::Mat pooled;  // CV_32F, values in [0, 1]
  struct Rec {
    int width = 0;
    std::vector<int> argmax;
    std::vector<float> maxprob;
  };
  std::map<int, Rec> rec;  // by line index in lines.txt
  std::map<int, std::array<float, 2>> cls;
};

Reference read_reference(const fs::path& file) {
  std::ifstream in(file);
  if (!in) throw std::runtime_error("cannot read " + file.string() + " (run make_reference.js)");
  Reference ref;
  std::string tag;
  while (in >> tag) {
    if (tag == "#") {
      std::string rest;
      std::getline(in, rest);
    } else if (tag == "det") {
      in >> ref.det_h >> ref.det_w >> ref.pool >> ref.above;
      ref.pooled.create(ref.det_h / ref.pool, ref.det_w / ref.pool, CV_32F);
      for (int y = 0; y < ref.pooled.rows; ++y)
        for (int x = 0; x < ref.pooled.cols; ++x) {
          int q;
          in >> q;
          ref.pooled.at<float>(y, x) = q / 65535.0f;
        }
    } else if (tag == "rec") {
      int index, steps;
      Reference::Rec r;
      in >> index >> r.width >> steps;
      r.argmax.resize(steps);
      r.maxprob.resize(steps);
      for (auto& a : r.argmax) in >> a;
      for (auto& p : r.maxprob) in >> p;
      ref.rec[index] = r;
    } else if (tag == "cls") {
      int index;
      std::array<float, 2> p;
      in >> index >> p[0] >> p[1];
      ref.cls[index] = p;
    } else {
      throw std::runtime_error("unexpected '" + tag + "' in " + file.string());
    }
    if (!in) throw std::runtime_error("truncated " + file.string());
  }
  return ref;
}

// ---------------------------------------------------------------------------
// Output handling
// ---------------------------------------------------------------------------

cv::Mat mean_pool(const cv::Mat& map, int f) {
  cv::Mat pooled(map.rows / f, map.cols / f, CV_32F);
  for (int y = 0; y < pooled.rows; ++y)
    for (int x = 0; x < pooled.cols; ++x)
      pooled.at<float>(y, x) = float(cv::mean(map(cv::Rect(x * f, y * f, f, f)))[0]);
  return pooled;
}

// The engine's reading of an output, and each step's most probable class and its
// probability, which the references hold.
struct Decoded {
  std::string text;
  float confidence = 0;
  std::vector<int> argmax;
  std::vector<float> maxprob;
};

enum class Layout { StepMajor, ClassMajor };

// A recognizer output as a steps x classes matrix, whichever its layout; the
// class count must be the dictionary's plus blank and space.
cv::Mat steps_by_classes(const cv::Mat& out, Layout layout, const std::vector<std::string>& keys) {
  const int class_axis = layout == Layout::ClassMajor ? 1 : 2;
  if (out.dims != 3 || out.size[0] != 1 || out.size[class_axis] != int(keys.size()) + 2)
    throw std::runtime_error(layout == Layout::ClassMajor ? "recognizer output is not 1 x classes x steps"
                                                          : "recognizer output is not 1 x steps x classes");
  cv::Mat m(out.size[1], out.size[2], CV_32F, const_cast<float*>(out.ptr<float>()));
  return layout == Layout::StepMajor ? m.clone() : cv::Mat(m.t());
}

// A steps x classes matrix read by the engine's CTC decoder (which takes it class-major).
Decoded ctc_decode(const cv::Mat& probs, const std::vector<std::string>& keys) {
  Decoded d;
  for (int t = 0; t < probs.rows; ++t) {
    const float* row = probs.ptr<float>(t);
    const int best = int(std::max_element(row, row + probs.cols) - row);
    d.argmax.push_back(best);
    d.maxprob.push_back(row[best]);
  }
  ppocr::DecodedText text;
  if (quillfen::Status status = ppocr::decodeCtc(cv::Mat(probs.t()), keys, &text); !status.ok()) {
    throw std::runtime_error(status.description());
  }
  d.text = text.text;
  d.confidence = text.confidence();
  return d;
}

// Argmax equality and the largest difference of the per-step maximum
// probability against a reference.
double rec_delta(const Decoded& d, const Reference::Rec& r, bool* same_argmax) {
  *same_argmax = d.argmax == r.argmax;
  if (d.maxprob.size() != r.maxprob.size()) return 1.0;
  double max_delta = 0;
  for (size_t t = 0; t < r.maxprob.size(); ++t)
    max_delta = std::max(max_delta, double(std::fabs(d.maxprob[t] - r.maxprob[t])));
  return max_delta;
}

struct Nets {
  cv::dnn::Net det, rec, cls;
  cv::dnn::Net plain_rec;  // empty unless --plain-rec
};

cv::dnn::Net load(const fs::path& file, const char* what) {
  auto t0 = Clock::now();
  cv::dnn::Net net = cv::dnn::readNetFromONNX(file.string());
  std::printf("load %-3s %-40s %6.1f ms\n", what, file.filename().c_str(), ms_since(t0));
  return net;
}

cv::Mat forward(cv::dnn::Net& net, const cv::Mat& blob, double* ms) {
  net.setInput(blob);
  auto t0 = Clock::now();
  cv::Mat out = net.forward().clone();
  *ms = ms_since(t0);
  return out;
}

// The prepared recognizer against the plain one on the same input: argmax equal
// at every step and every probability within kMaxRewriteProbDelta. Prints the
// comparison; returns true when there is no plain recognizer to compare with.
bool matches_plain(Nets& nets, const cv::Mat& blob, const cv::Mat& probs, const std::vector<std::string>& keys) {
  if (nets.plain_rec.empty()) return true;
  double ms;
  cv::Mat plain = steps_by_classes(forward(nets.plain_rec, blob, &ms), Layout::StepMajor, keys);
  if (plain.size() != probs.size()) {
    std::printf("        plain recognizer: %d steps, prepared %d | FAIL\n", plain.rows, probs.rows);
    return false;
  }
  bool same_argmax = ctc_decode(plain, keys).argmax == ctc_decode(probs, keys).argmax;
  cv::Mat diff;
  cv::absdiff(plain, probs, diff);
  double max_delta;
  cv::Point at;
  cv::minMaxLoc(diff, nullptr, &max_delta, nullptr, &at);
  bool ok = same_argmax && max_delta <= kMaxRewriteProbDelta;
  std::printf(
      "        plain recognizer %5.1f ms: argmax %s, all probabilities max|dp| %.2e"
      " (step %d class %d: %.6f) | %s\n",
      ms, same_argmax ? "equal" : "DIFFER", max_delta, at.y, at.x, plain.at<float>(at), ok ? "ok" : "FAIL");
  return ok;
}

// ---------------------------------------------------------------------------
// Checks
// ---------------------------------------------------------------------------

bool check_detector(cv::dnn::Net& det, const fs::path& testdata, const std::vector<Line>& lines) {
  std::printf("\n== detector: pictures of changing size in a row ==\n");
  bool ok = true;
  for (size_t step = 0; step < kDetSequence.size(); ++step) {
    const std::string& name = kDetSequence[step];
    Reference ref = read_reference(testdata / (name + ".ref.txt"));
    cv::Mat blob = det_tensor(read_picture(testdata / name));
    double ms;
    cv::Mat out = forward(det, blob, &ms);
    // Again at the same shape: the first call includes OpenCV's re-planning.
    double warm_ms;
    forward(det, blob, &warm_ms);
    int h = out.size[2], w = out.size[3];
    cv::Mat map(h, w, CV_32F, out.ptr<float>());

    // Against ONNX Runtime.
    bool shape_ok = h == ref.det_h && w == ref.det_w;
    double max_delta = 1.0;
    long above = cv::countNonZero(map > kDetThreshold);
    if (shape_ok) {
      cv::Mat diff;
      cv::absdiff(mean_pool(map, ref.pool), ref.pooled, diff);
      cv::minMaxLoc(diff, nullptr, &max_delta);
    }

    // Sanity: text inside the line boxes, little outside.
    cv::Mat background(h, w, CV_8U, cv::Scalar(255));
    double min_coverage = 1.0;
    for (const Line& l : lines) {
      if (l.picture != name) continue;
      cv::Rect box = l.box & cv::Rect(0, 0, w, h);
      min_coverage = std::min(min_coverage, cv::countNonZero(map(box) > kDetThreshold) / double(box.area()));
      cv::Rect grown(box.x - kBackgroundMargin, box.y - kBackgroundMargin, box.width + 2 * kBackgroundMargin,
                     box.height + 2 * kBackgroundMargin);
      background(grown & cv::Rect(0, 0, w, h)).setTo(0);
    }
    cv::Mat bg_above = (map > kDetThreshold) & background;
    double bg_coverage = cv::countNonZero(bg_above) / double(cv::countNonZero(background));
    double bg_max, map_max;
    cv::minMaxLoc(map, nullptr, &bg_max, nullptr, nullptr, background);
    cv::minMaxLoc(map, nullptr, &map_max);

    bool sane = min_coverage >= kMinLineCoverage && bg_coverage <= kMaxBackgroundCoverage;
    bool match = shape_ok && max_delta <= kMaxPooledDelta;
    ok = ok && sane && match;
    std::printf(
        "step %zu %-18s %4dx%-4d %6.1f ms (warm %5.1f) | map max %.3f | lines >0.3: min %5.1f%% | background >0.3: "
        "%.3f%% max %.3f"
        " | pixels >0.3: %ld (ORT %ld) | pooled max|dp| %.2e | %s\n",
        step + 1, name.c_str(), w, h, ms, warm_ms, map_max, 100 * min_coverage, 100 * bg_coverage, bg_max, above,
        ref.above, max_delta, sane && match ? "ok" : "FAIL");
  }
  return ok;
}

bool check_recognizer(Nets& nets, const fs::path& testdata, const std::vector<Line>& lines,
                      const std::vector<std::string>& keys) {
  std::printf("\n== recognizer and direction classifier on line crops ==\n");
  bool ok = true;
  std::map<std::string, Reference> refs;
  int exact = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    const Line& l = lines[i];
    if (!refs.count(l.picture)) refs[l.picture] = read_reference(testdata / (l.picture + ".ref.txt"));
    const Reference& ref = refs[l.picture];
    cv::Mat crop = read_picture(testdata / l.picture)(l.box);

    cv::Mat blob = rec_tensor(crop);
    double rec_ms, ms;
    cv::Mat probs = steps_by_classes(forward(nets.rec, blob, &rec_ms), Layout::ClassMajor, keys);
    Decoded d = ctc_decode(probs, keys);

    bool same_argmax;
    double max_delta = rec_delta(d, ref.rec.at(int(i)), &same_argmax);

    // Direction classifier on the upright crop, each of its windows; references cover it too.
    const std::vector<cv::Mat> windows = ppocr::classifierBlobs(crop);
    double cls_delta = 0;
    float upright = 0;
    for (size_t w = 0; w < windows.size(); ++w) {
      cv::Mat cls_out = forward(nets.cls, windows[w], &ms);
      const std::array<float, 2>& rc = ref.cls.at(kMaxClsWindows * int(i) + int(w));
      cls_delta = std::max({cls_delta, double(std::fabs(cls_out.at<float>(0) - rc[0])),
                            double(std::fabs(cls_out.at<float>(1) - rc[1]))});
      upright += cls_out.at<float>(0) / float(windows.size());
    }

    bool line_ok = same_argmax && max_delta <= kMaxRecProbDelta && cls_delta <= kMaxClsProbDelta;
    ok = ok && line_ok;
    exact += d.text == l.text;
    std::printf(
        "line %2zu w=%4d T=%3zu %5.1f ms argmax %s max|dp| %.2e | cls 0deg %.3f max|dp| %.2e | %s\n"
        "        read: \"%s\" (conf %.3f)%s\n",
        i, blob.size[3], d.argmax.size(), rec_ms, same_argmax ? "equal" : "DIFFER", max_delta, upright, cls_delta,
        line_ok ? "ok" : "FAIL", d.text.c_str(), d.confidence,
        d.text == l.text ? "" : ("   rendered: \"" + l.text + "\"").c_str());
    ok = matches_plain(nets, blob, probs, keys) && ok;
  }
  std::printf("text equal to the rendered text on %d of %zu lines\n", exact, lines.size());

  std::printf("\n== recognizer at forced widths ==\n");
  for (size_t k = 0; k < kRecWidthVariants.size(); ++k) {
    auto [index, width] = kRecWidthVariants[k];
    const Line& l = lines.at(index);
    cv::Mat crop = read_picture(testdata / l.picture)(l.box);
    double ms;
    cv::Mat blob = rec_tensor(crop, width);
    cv::Mat probs = steps_by_classes(forward(nets.rec, blob, &ms), Layout::ClassMajor, keys);
    Decoded d = ctc_decode(probs, keys);
    bool same_argmax;
    double max_delta = rec_delta(d, refs.at(l.picture).rec.at(kVariantIndexBase + int(k)), &same_argmax);
    bool line_ok = same_argmax && max_delta <= kMaxRecProbDelta;
    ok = ok && line_ok;
    std::printf("line %2d w=%4d T=%3zu %5.1f ms argmax %s max|dp| %.2e | %s\n        read: \"%s\" (conf %.3f)\n", index,
                width, d.argmax.size(), ms, same_argmax ? "equal" : "DIFFER", max_delta, line_ok ? "ok" : "FAIL",
                d.text.c_str(), d.confidence);
    ok = matches_plain(nets, blob, probs, keys) && ok;
  }
  return ok;
}

int dump(const fs::path& testdata, const std::vector<Line>& lines, const fs::path& out_dir) {
  fs::create_directories(out_dir);
  std::ofstream manifest(out_dir / "manifest.txt");
  std::vector<std::string> pictures;
  for (const std::string& p : kDetSequence)
    if (std::find(pictures.begin(), pictures.end(), p) == pictures.end()) pictures.push_back(p);
  for (const std::string& p : pictures) {
    std::string file = p + ".det.npy";
    write_npy(out_dir / file, det_tensor(read_picture(testdata / p)));
    manifest << "det " << p << " -1 " << file << "\n";
  }
  for (size_t i = 0; i < lines.size(); ++i) {
    cv::Mat crop = read_picture(testdata / lines[i].picture)(lines[i].box);
    std::string rec = "line" + std::to_string(i) + ".rec.npy";
    write_npy(out_dir / rec, rec_tensor(crop));
    manifest << "rec " << lines[i].picture << " " << i << " " << rec << "\n";
    const std::vector<cv::Mat> windows = ppocr::classifierBlobs(crop);
    for (size_t w = 0; w < windows.size(); ++w) {
      std::string cls = "line" + std::to_string(i) + "." + std::to_string(w) + ".cls.npy";
      write_npy(out_dir / cls, windows[w]);
      manifest << "cls " << lines[i].picture << " " << kMaxClsWindows * i + w << " " << cls << "\n";
    }
  }
  for (size_t k = 0; k < kRecWidthVariants.size(); ++k) {
    auto [index, width] = kRecWidthVariants[k];
    const Line& l = lines.at(index);
    cv::Mat crop = read_picture(testdata / l.picture)(l.box);
    std::string rec = "variant" + std::to_string(k) + ".rec.npy";
    write_npy(out_dir / rec, rec_tensor(crop, width));
    manifest << "rec " << l.picture << " " << kVariantIndexBase + k << " " << rec << "\n";
  }
  std::printf("wrote %zu detector and %zu line tensors to %s\n", pictures.size(), lines.size(), out_dir.c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || argc % 2 == 0) {
    std::fprintf(stderr, "usage: %s MODEL_DIR TESTDATA_DIR [--det FILE] [--plain-rec FILE] | [--dump DIR]\n", argv[0]);
    return 2;
  }
  try {
    fs::path model_dir = argv[1], testdata = argv[2];
    fs::path det_file = model_dir / "ppocr_det.onnx", plain_rec_file;
    std::vector<Line> lines = read_lines(testdata / "lines.txt");
    for (int i = 3; i < argc; i += 2) {
      std::string opt = argv[i];
      if (opt == "--dump") return dump(testdata, lines, argv[i + 1]);
      if (opt == "--det")
        det_file = argv[i + 1];
      else if (opt == "--plain-rec")
        plain_rec_file = argv[i + 1];
      else
        throw std::runtime_error("unknown option " + opt);
    }
    std::printf("OpenCV %s\n", CV_VERSION);
    Nets nets;
    nets.det = load(det_file, "det");
    nets.rec = load(model_dir / "ppocr_rec.onnx", "rec");
    nets.cls = load(model_dir / "ppocr_cls.onnx", "cls");
    if (!plain_rec_file.empty()) nets.plain_rec = load(plain_rec_file, "rec");
    std::vector<std::string> keys = read_keys(model_dir / "ppocr_keys.txt");

    bool det_ok = check_detector(nets.det, testdata, lines);
    bool rec_ok = check_recognizer(nets, testdata, lines, keys);
    std::printf("\ndetector %s, recognizer %s\n", det_ok ? "ok" : "FAILED", rec_ok ? "ok" : "FAILED");
    return det_ok && rec_ok ? 0 : 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "ppocr_check: %s\n", e.what());
    return 1;
  }
}

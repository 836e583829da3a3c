// Memory management is manual retain/release (the file is compiled with -fno-objc-arc).
// Every object this file owns is released by the C++ object that holds it, and each
// entry point drains its own autorelease pool, so nothing outlives the call that made it
// unless a C++ owner retained it. Manual management also keeps the file buildable against
// GNUstep's Foundation on Linux, whose runtime has no ARC support.
#include "recognition/vision/vision_engine.h"

#import <CoreImage/CoreImage.h>
#import <Foundation/Foundation.h>
#import <Vision/Vision.h>

#if __has_feature(objc_arc)
#error "vision_engine.mm releases its objects itself; compile it with -fno-objc-arc"
#endif

namespace quillfen::vision {
namespace {

std::string utf8(NSString* string) {
  if (string == nil) return {};
  const char* bytes = [string UTF8String];
  return bytes == nullptr ? std::string() : std::string(bytes);
}

// Owns one reference to an Objective-C object.
template <typename T>
class Retained {
 public:
  // Takes over a reference the caller already owns (from alloc/init or retain).
  static Retained adopt(T* object) { return Retained(object); }
  static Retained retain(T* object) { return Retained([object retain]); }

  Retained(Retained&& other) noexcept : object_(other.object_) { other.object_ = nil; }
  Retained(const Retained&) = delete;
  Retained& operator=(const Retained&) = delete;
  Retained& operator=(Retained&&) = delete;
  ~Retained() { [object_ release]; }

  T* get() const { return object_; }

 private:
  explicit Retained(T* object) : object_(object) {}
  T* object_;
};

class VisionImage final : public DecodedImage {
 public:
  explicit VisionImage(Retained<CIImage> image) : image_(std::move(image)) {}
  CIImage* image() const { return image_.get(); }

 private:
  Retained<CIImage> image_;
};

// Keeps Vision's observation alive for as long as the result list holds it.
class VisionObservation final : public RecognizedTextObservation {
 public:
  explicit VisionObservation(VNRecognizedTextObservation* observation)
      : observation_(Retained<VNRecognizedTextObservation>::retain(observation)) {}

  std::vector<RecognizedText> topCandidates(std::size_t maxCandidateCount) const override {
    std::vector<RecognizedText> candidates;
    @autoreleasepool {
      NSArray<VNRecognizedText*>* texts = [observation_.get() topCandidates:static_cast<NSUInteger>(maxCandidateCount)];
      for (NSUInteger i = 0; i < [texts count]; ++i) {
        VNRecognizedText* text = [texts objectAtIndex:i];
        candidates.push_back(RecognizedText{utf8([text string]), static_cast<float>([text confidence])});
      }
    }
    return candidates;
  }

 private:
  Retained<VNRecognizedTextObservation> observation_;
};

VNRequestTextRecognitionLevel visionLevel(RecognitionLevel level) {
  return level == RecognitionLevel::accurate ? VNRequestTextRecognitionLevelAccurate
                                             : VNRequestTextRecognitionLevelFast;
}

class VisionHandler final : public ImageRequestHandler {
 public:
  explicit VisionHandler(std::unique_ptr<DecodedImage> image) : image_(std::move(image)) {}

  Status perform(TextRecognitionRequest& request) override {
    @autoreleasepool {
      NSMutableArray<NSString*>* languages = [NSMutableArray array];
      for (const std::string& language : request.recognitionLanguages()) {
        NSString* identifier = [NSString stringWithUTF8String:language.c_str()];
        if (identifier == nil) return Status::recognitionFailed("语言标识不是有效的 UTF-8：" + language);
        [languages addObject:identifier];
      }

      auto textRequest = Retained<VNRecognizeTextRequest>::adopt([[VNRecognizeTextRequest alloc] init]);
      [textRequest.get() setRecognitionLevel:visionLevel(request.recognitionLevel())];
      [textRequest.get() setUsesLanguageCorrection:request.usesLanguageCorrection() ? YES : NO];
      [textRequest.get() setRecognitionLanguages:languages];

      CIImage* picture = static_cast<VisionImage*>(image_.get())->image();
      auto handler = Retained<VNImageRequestHandler>::adopt(
          [[VNImageRequestHandler alloc] initWithCIImage:picture options:[NSDictionary dictionary]]);
      NSError* error = nil;
      if (![handler.get() performRequests:[NSArray arrayWithObject:textRequest.get()] error:&error]) {
        // Vision always sets the error when it answers NO; the fallback only guards the contract.
        return Status::recognitionFailed(error != nil ? utf8([error localizedDescription]) : "Vision 没有给出原因");
      }

      NSArray<VNRecognizedTextObservation*>* results = [textRequest.get() results];
      if (results == nil) {
        request.setResults(std::nullopt);
        return Status();
      }
      Observations observations;
      observations.reserve([results count]);
      for (NSUInteger i = 0; i < [results count]; ++i) {
        observations.push_back(std::make_unique<VisionObservation>([results objectAtIndex:i]));
      }
      request.setResults(std::move(observations));
      return Status();
    }
  }

 private:
  std::unique_ptr<DecodedImage> image_;
};

}  // namespace

std::unique_ptr<DecodedImage> VisionEngine::decodeImage(const std::string& path) const {
  @autoreleasepool {
    NSString* filePath = [NSString stringWithUTF8String:path.c_str()];
    if (filePath == nil) return nullptr;
    CIImage* image = [[CIImage alloc] initWithContentsOfURL:[NSURL fileURLWithPath:filePath]];
    if (image == nil) return nullptr;
    return std::make_unique<VisionImage>(Retained<CIImage>::adopt(image));
  }
}

std::unique_ptr<ImageRequestHandler> VisionEngine::makeHandler(std::unique_ptr<DecodedImage> image) const {
  return std::make_unique<VisionHandler>(std::move(image));
}

}  // namespace quillfen::vision

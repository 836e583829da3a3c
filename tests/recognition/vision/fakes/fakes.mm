// Fake Core Image and Vision classes for testing src/recognition/vision/vision_engine.mm on Linux.
// They record each message in a log and answer as fake_control.h tells them. Per-object
// state lives in side tables, so the class interfaces stay exactly those of the stand-in
// headers. Manual retain/release, like the code under test.

#include "fake_control.h"

#import <CoreImage/CoreImage.h>
#import <Foundation/Foundation.h>
#import <Vision/Vision.h>

#include <map>
#include <utility>

namespace quillfen::vision_fakes {
namespace {

struct State {
  std::vector<std::string> calls;
  int live = 0;
  int nextImageNumber = 1;
  bool refuseImages = false;
  std::optional<std::string> failure;
  FakeResults results = std::vector<std::vector<FakeCandidate>>{};

  std::map<const void*, int> imageNumbers;
  std::map<const void*, FakeCandidate> texts;
  std::map<const void*, std::vector<FakeCandidate>> observations;
  std::map<const void*, NSArray*> requestResults;  // retained
  const void* lastRequest = nullptr;
};

State& state() {
  static State s;
  return s;
}

void record(std::string call) { state().calls.push_back(std::move(call)); }

std::string utf8(NSString* string) { return string == nil ? "(nil)" : std::string([string UTF8String]); }

NSString* nsString(const std::string& text) { return [NSString stringWithUTF8String:text.c_str()]; }

}  // namespace

void reset() {
  State& s = state();
  s.calls.clear();
  s.refuseImages = false;
  s.failure.reset();
  s.results = std::vector<std::vector<FakeCandidate>>{};
  s.lastRequest = nullptr;
  s.nextImageNumber = 1;
}

void refuseImages() { state().refuseImages = true; }
void failRequestsWith(const std::string& localizedDescription) { state().failure = localizedDescription; }
void answerResults(FakeResults results) { state().results = std::move(results); }
const std::vector<std::string>& calls() { return state().calls; }
int liveObjects() { return state().live; }

}  // namespace quillfen::vision_fakes

using quillfen::vision_fakes::FakeCandidate;
using quillfen::vision_fakes::nsString;
using quillfen::vision_fakes::record;
using quillfen::vision_fakes::state;
using quillfen::vision_fakes::utf8;

@interface VNRecognizedText (Fake)
- (instancetype)initWithFakeCandidate:(const FakeCandidate&)candidate;
@end

@interface VNRecognizedTextObservation (Fake)
- (instancetype)initWithFakeCandidates:(const std::vector<FakeCandidate>&)candidates;
@end

// An error whose localizedDescription is the configured text and whose description is
// not, so a test can tell which of the two reached the caller.
@interface FakeVisionError : NSError
@end

@implementation FakeVisionError

- (NSString*)localizedDescription {
  return [[self userInfo] objectForKey:NSLocalizedDescriptionKey];
}

- (NSString*)description {
  return @"FakeVisionError description, not the localized one";
}

@end

@implementation CIImage

- (instancetype)initWithContentsOfURL:(NSURL*)url {
  self = [super init];
  ++state().live;
  const int number = state().nextImageNumber++;
  record("CIImage initWithContentsOfURL: image " + std::to_string(number) + (state().refuseImages ? " refused" : "") +
         ", file URL " + ([url isFileURL] ? "yes" : "no") + ", path " + utf8([url path]));
  if (state().refuseImages) {
    [self release];
    return nil;
  }
  state().imageNumbers[self] = number;
  return self;
}

- (void)dealloc {
  state().imageNumbers.erase(self);
  --state().live;
  [super dealloc];
}

@end

@implementation VNObservation
- (VNConfidence)confidence {
  return 1.0f;
}
@end

@implementation VNDetectedObjectObservation
@end

@implementation VNRectangleObservation
@end

@implementation VNRecognizedText

- (instancetype)initWithFakeCandidate:(const FakeCandidate&)candidate {
  self = [super init];
  ++state().live;
  state().texts[self] = candidate;
  return self;
}

- (void)dealloc {
  state().texts.erase(self);
  --state().live;
  [super dealloc];
}

- (NSString*)string {
  return nsString(state().texts.at(self).string);
}

- (VNConfidence)confidence {
  return state().texts.at(self).confidence;
}

@end

@implementation VNRecognizedTextObservation

- (instancetype)initWithFakeCandidates:(const std::vector<FakeCandidate>&)candidates {
  self = [super init];
  ++state().live;
  state().observations[self] = candidates;
  return self;
}

- (void)dealloc {
  state().observations.erase(self);
  --state().live;
  [super dealloc];
}

- (NSArray<VNRecognizedText*>*)topCandidates:(NSUInteger)maxCandidateCount {
  record("topCandidates: " + std::to_string(maxCandidateCount));
  const std::vector<FakeCandidate>& candidates = state().observations.at(self);
  NSMutableArray<VNRecognizedText*>* texts = [NSMutableArray array];
  for (std::size_t i = 0; i < candidates.size() && i < maxCandidateCount; ++i) {
    VNRecognizedText* text = [[VNRecognizedText alloc] initWithFakeCandidate:candidates[i]];
    [texts addObject:text];
    [text release];
  }
  return texts;
}

@end

@implementation VNRequest

- (instancetype)init {
  self = [super init];
  ++state().live;
  record(std::string([NSStringFromClass([self class]) UTF8String]) + " init");
  return self;
}

- (void)dealloc {
  auto found = state().requestResults.find(self);
  if (found != state().requestResults.end()) {
    [found->second release];
    state().requestResults.erase(found);
  }
  if (state().lastRequest == self) state().lastRequest = nullptr;
  --state().live;
  [super dealloc];
}

- (NSArray<VNObservation*>*)results {
  auto found = state().requestResults.find(self);
  if (found == state().requestResults.end()) return nil;
  return [[found->second retain] autorelease];
}

@end

@implementation VNImageBasedRequest
@end

@implementation VNRecognizeTextRequest

@dynamic results;

- (instancetype)init {
  self = [super init];
  state().lastRequest = self;
  return self;
}

- (VNRequestTextRecognitionLevel)recognitionLevel {
  return VNRequestTextRecognitionLevelAccurate;
}

- (void)setRecognitionLevel:(VNRequestTextRecognitionLevel)level {
  record("setRecognitionLevel: " + std::to_string(static_cast<long>(level)));
}

- (BOOL)usesLanguageCorrection {
  return YES;
}

- (void)setUsesLanguageCorrection:(BOOL)uses {
  record(std::string("setUsesLanguageCorrection: ") + (uses == YES ? "YES" : uses == NO ? "NO" : "(not YES or NO)"));
}

- (NSArray<NSString*>*)recognitionLanguages {
  return [NSArray array];
}

- (void)setRecognitionLanguages:(NSArray<NSString*>*)languages {
  std::string call = "setRecognitionLanguages: ";
  if (languages == nil) {
    call += "nil";
  } else {
    call += "(";
    for (NSUInteger i = 0; i < [languages count]; ++i) {
      id language = [languages objectAtIndex:i];
      if (i > 0) call += ", ";
      call += [language isKindOfClass:[NSString class]] ? utf8(language) : "(not a string)";
    }
    call += ")";
  }
  record(call);
}

@end

@implementation VNImageRequestHandler

- (instancetype)initWithCIImage:(CIImage*)image options:(NSDictionary<VNImageOption, id>*)options {
  self = [super init];
  ++state().live;
  auto number = state().imageNumbers.find(image);
  record("VNImageRequestHandler initWithCIImage:options: image " +
         (number == state().imageNumbers.end() ? std::string("(unknown)") : std::to_string(number->second)) +
         ", options " + (options == nil ? std::string("nil") : std::to_string([options count]) + " entries"));
  return self;
}

- (void)dealloc {
  --state().live;
  [super dealloc];
}

- (BOOL)performRequests:(NSArray<VNRequest*>*)requests error:(NSError**)error {
  std::string call = "performRequests:error: " + std::to_string([requests count]) + " request(s)";
  for (NSUInteger i = 0; i < [requests count]; ++i) {
    call += [requests objectAtIndex:i] == state().lastRequest ? ", the text request" : ", another request";
  }
  call += error == nullptr ? ", no error pointer" : ", error pointer";
  record(call);

  if (state().failure) {
    if (error != nullptr) {
      NSDictionary* info = [NSDictionary dictionaryWithObject:nsString(*state().failure)
                                                       forKey:NSLocalizedDescriptionKey];
      *error = [FakeVisionError errorWithDomain:@"FakeVision" code:1 userInfo:info];
    }
    return NO;
  }
  if (!state().results) return YES;
  NSMutableArray* observations = [[NSMutableArray alloc] init];
  for (const std::vector<FakeCandidate>& candidates : *state().results) {
    VNRecognizedTextObservation* observation = [[VNRecognizedTextObservation alloc] initWithFakeCandidates:candidates];
    [observations addObject:observation];
    [observation release];
  }
  for (NSUInteger i = 0; i < [requests count]; ++i) {
    VNRequest* request = [requests objectAtIndex:i];
    auto found = state().requestResults.find(request);
    if (found != state().requestResults.end()) [found->second release];
    state().requestResults[request] = [observations retain];
  }
  [observations release];
  return YES;
}

@end
